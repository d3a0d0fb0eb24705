#pragma once

class TFilePlayer;
class TPlayerTime;
class TPlayerTimeBar;
class TPlayerTransport;
class TPlayerWindow;
class TPlayerWindows;
class TSharedFullScreen;
class TVideoTimeEdit;
