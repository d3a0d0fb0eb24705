#include "platform/drive_kind.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

// Mount points write blanks and a few other characters as "\ooo".
std::string Unescape(std::string_view Text) {
    std::string Out;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\\' && Text.size() - I >= 4) {
            int Value = 0;
            bool Octal = true;
            for (size_t J = 1; J <= 3; ++J) {
                char Digit = Text[I + J];
                Octal = Octal && Digit >= '0' && Digit <= '7';
                Value = Value * 8 + (Digit - '0');
            }
            if (Octal) {
                Out.push_back(char(Value));
                I += 3;
                continue;
            }
        }
        Out.push_back(Text[I]);
    }
    return Out;
}

// Whether Path lies at or below the mount point Point.
bool IsUnder(std::string_view Path, std::string_view Point) {
    if (Point == "/")
        return true;
    if (Path.substr(0, Point.size()) != Point)
        return false;
    return Path.size() == Point.size() || Path[Point.size()] == '/';
}

TDriveKind KindOf(std::string_view Type, std::string_view Point) {
    static constexpr std::string_view NetworkTypes[] = {
        "nfs",       "nfs4",       "cifs",      "smb3",       "smbfs",         "ncpfs",      "afs",
        "9p",        "ceph",       "glusterfs", "lustre",     "davfs",         "fuse.sshfs", "fuse.rclone",
        "fuse.s3fs", "fuse.davfs2", "fuse.gvfsd-fuse", "fuse.glusterfs", "fuse.cephfs", "virtiofs"};
    for (std::string_view Network : NetworkTypes)
        if (Type == Network)
            return TDriveKind::Network;
    if (Type == "iso9660" || Type == "udf")
        return TDriveKind::Optical;
    if (IsUnder(Point, "/media") || IsUnder(Point, "/run/media"))
        return TDriveKind::Removable;
    return TDriveKind::Fixed;
}

} // namespace

TDriveKind DriveKindOf(std::string_view Path, std::string_view MountInfo) {
    TDriveKind Result = TDriveKind::Unknown;
    size_t Longest = 0;
    std::istringstream Lines{std::string(MountInfo)};
    std::string Line;
    while (std::getline(Lines, Line)) {
        // id parent major:minor root mount-point options [optional...] - type source options
        std::istringstream Fields(Line);
        std::vector<std::string> Parts{std::istream_iterator<std::string>(Fields),
                                       std::istream_iterator<std::string>()};
        if (Parts.size() < 7)
            continue;
        size_t Separator = 6;
        while (Separator < Parts.size() && Parts[Separator] != "-")
            ++Separator;
        if (Separator + 1 >= Parts.size())
            continue;
        std::string Point = Unescape(Parts[4]);
        if (!IsUnder(Path, Point) || Point.size() < Longest)
            continue;
        // Later lines mount over earlier ones at the same point.
        Longest = Point.size();
        Result = KindOf(Parts[Separator + 1], Point);
    }
    return Result;
}

TDriveKind DriveKindOf(std::string_view Path) {
    std::ifstream In("/proc/self/mountinfo");
    std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    return DriveKindOf(Path, Text);
}
