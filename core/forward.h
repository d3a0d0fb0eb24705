#pragma once

class TObject;
class TRefObject;
template <class Signature>
class TMethods;
class TChanges;
class THash;
class TIndexes;
class TStream;
class TGlobalMemoryStream;
class TDataList;
class TData;
class EError;
