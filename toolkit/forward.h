#pragma once

class TPixels;
class TPixelsStateSaver;
class TRaster;
struct TTextAttr;
struct TTextInfo;
class ECanvasError;
class TTable;
class TTableHook;
class TControlTableHook;
class TSpaceTableHook;
class TSplitTable;
class TSplitTableHook;
class TControlSplitTableHook;
