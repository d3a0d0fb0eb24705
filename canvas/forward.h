#pragma once

class TPixels;
class TPixelsStateSaver;
class TRaster;
struct TTextAttr;
struct TTextInfo;
class ECanvasError;
