#pragma once

// The capture layer's classes, for headers that only name them.

class TCaptureDeviceLists;
class TCaptureDevices;
struct TCapDeviceInfo;
struct TInputDescription;
class TCaptureGraphObject;
class TDVWriteGraphObject;
class TFrameSaver;
