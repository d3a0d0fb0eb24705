#include "commands/help_topics.h"

#include "core/hash.h"

#include <cstdint>

namespace {

// The value stored for a path is its number; numbers are dense because
// topics are never removed, so the number is also the path's position.
void* NumberValue(int32_t Number) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(Number));
}

} // namespace

THash& HelpTopics() {
    static THash Topics = [] {
        THash T;
        T.Put("", NumberValue(0));
        return T;
    }();
    return Topics;
}

int32_t HelpContextOf(std::string_view Path) {
    THash& Topics = HelpTopics();
    if (Topics.Exists(Path))
        return static_cast<int32_t>(reinterpret_cast<intptr_t>(Topics.Get(Path)));
    int32_t Number = Topics.Count();
    Topics.Put(Path, NumberValue(Number));
    return Number;
}

std::string HelpTopicOf(int32_t Context) {
    const THash& Topics = HelpTopics();
    if (Context <= 0 || Context >= Topics.Count())
        return {};
    return Topics.KeyAt(Context);
}
