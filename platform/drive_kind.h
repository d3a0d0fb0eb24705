#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What kind of storage a path lies on, judged from the mount table alone so
// that the judgement never touches the path itself (a look at a file on an
// unreachable network mount can hang for minutes).
enum class TDriveKind : uint8_t {
    Unknown,   // no mount table, or no mount found for the path
    Fixed,     // a local disk or a memory file system
    Removable, // mounted under /media or /run/media (USB sticks, cards)
    Optical,   // iso9660 and udf
    Network,   // NFS, SMB, sshfs and the like
};

// The kind of the mount holding Path (an absolute path) according to
// MountInfo, a text in the format of /proc/self/mountinfo.
TDriveKind DriveKindOf(std::string_view Path, std::string_view MountInfo);
// The same against this process's mount table.
TDriveKind DriveKindOf(std::string_view Path);
