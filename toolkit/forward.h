#pragma once

#include "canvas/forward.h"

class TTable;
class TTableHook;
class TControlTableHook;
class TSpaceTableHook;
class TSplitTable;
class TSplitTableHook;
class TControlSplitTableHook;
