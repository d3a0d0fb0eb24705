#include "app/instance_handover.h"

#include "platform/instance_channel.h"
#include "platform/message_queue.h"

#include <filesystem>

namespace {

void PutInt32(std::string& Out, uint32_t Value) {
    for (int Byte = 0; Byte < 4; ++Byte)
        Out.push_back(char((Value >> (8 * Byte)) & 0xFF));
}

// Reads a little-endian 32-bit integer at Offset, advancing it; false when
// fewer than four bytes are left.
bool GetInt32(std::string_view Block, size_t& Offset, int32_t& Value) {
    if (Block.size() - Offset < 4)
        return false;
    uint32_t Bits = 0;
    for (int Byte = 3; Byte >= 0; --Byte)
        Bits = (Bits << 8) | uint8_t(Block[Offset + size_t(Byte)]);
    Offset += 4;
    Value = int32_t(Bits);
    return true;
}

bool IsCleanPath(std::string_view Name) {
    if (Name.empty() || Name.front() != '/')
        return false;
    for (char Character : Name)
        if (uint8_t(Character) < 0x20 || Character == 0x7F)
            return false;
    // Every part between slashes is a real name: no empty, "." or ".." parts
    // (a trailing slash names a folder, not a project file).
    size_t Start = 1;
    while (Start <= Name.size()) {
        size_t End = Name.find('/', Start);
        if (End == std::string_view::npos)
            End = Name.size();
        std::string_view Part = Name.substr(Start, End - Start);
        if (Part.empty() || Part == "." || Part == "..")
            return false;
        Start = End + 1;
    }
    return true;
}

} // namespace

std::string EncodeHandOverBlock(const std::vector<std::string>& Files) {
    std::string Block;
    PutInt32(Block, uint32_t(Files.size()));
    for (const std::string& Name : Files) {
        PutInt32(Block, uint32_t(Name.size()));
        Block += Name;
    }
    return Block;
}

std::optional<std::vector<std::string>> DecodeHandOverBlock(std::string_view Block) {
    size_t Offset = 0;
    int32_t Count = 0;
    if (!GetInt32(Block, Offset, Count) || Count < 0 || Count > MaxHandOverFiles)
        return std::nullopt;
    std::vector<std::string> Files;
    for (int32_t Index = 0; Index < Count; ++Index) {
        int32_t Length = 0;
        if (!GetInt32(Block, Offset, Length) || Length <= 0 || size_t(Length) > MaxHandOverName ||
            size_t(Length) > Block.size() - Offset)
            return std::nullopt;
        std::string_view Name = Block.substr(Offset, size_t(Length));
        Offset += size_t(Length);
        if (!IsCleanPath(Name))
            return std::nullopt;
        Files.emplace_back(Name);
    }
    if (Offset != Block.size())
        return std::nullopt;
    return Files;
}

std::vector<std::string> FullHandOverPaths(const std::vector<std::string>& Files) {
    std::vector<std::string> Result;
    std::error_code Error;
    for (const std::string& Name : Files) {
        std::filesystem::path Path = std::filesystem::absolute(Name, Error);
        if (Error)
            Path = Name;
        std::string Full = Path.lexically_normal().string();
        while (Full.size() > 1 && Full.back() == '/')
            Full.pop_back();
        Result.push_back(Full);
    }
    return Result;
}

THandOverResult HandOverToRunningInstance(const std::string& SocketPath, const std::vector<std::string>& Files,
                                          std::chrono::milliseconds Timeout) {
    TInstanceAnswer Answer = SendToInstance(SocketPath, EncodeHandOverBlock(Files), Timeout);
    switch (Answer.Status) {
    case TInstanceSendStatus::NoInstance:
        return THandOverResult::NoInstance;
    case TInstanceSendStatus::Answered:
        return Answer.Answer == 1 ? THandOverResult::HandedOver : THandOverResult::Refused;
    case TInstanceSendStatus::ForeignListener:
        return THandOverResult::Foreign;
    case TInstanceSendStatus::NoAnswer:
        break;
    }
    return THandOverResult::Refused;
}

// ---- TRunningInstance

TRunningInstance::TRunningInstance(const std::string& SocketPath, TMessageQueue& Messages, TReceived Received)
    : FReceived(std::make_shared<TReceived>(std::move(Received))) {
    std::weak_ptr<TReceived> Target = FReceived;
    // Runs on the channel's thread: it only checks the block and posts.
    FServer = TInstanceServer::Listen(SocketPath, [Target, &Messages](std::string_view Block) -> int32_t {
        std::optional<std::vector<std::string>> Files = DecodeHandOverBlock(Block);
        if (!Files)
            return 0;
        Messages.Post([Target, Names = std::move(*Files)]() mutable {
            if (std::shared_ptr<TReceived> Receiver = Target.lock(); Receiver && *Receiver)
                (*Receiver)(std::move(Names));
        });
        return 1;
    });
}

TRunningInstance::~TRunningInstance() {
    // The channel's thread ends first, so nothing posts any more.
    FServer.reset();
}
