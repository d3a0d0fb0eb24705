#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class THash;

// The numbers of help-topic paths ("Commands/MainMenu/File/NewProject.htm"):
// commands and dialogs carry a help context number, and the help viewer is
// reached by turning the number back into its path. The empty topic is
// number 0; every other path gets the next number on first use.
THash& HelpTopics();

// The number of Path, adding it when it is new. Paths compare without regard
// to ASCII letter case.
int32_t HelpContextOf(std::string_view Path);

// The path of a help context number; empty for 0 and for unknown numbers.
std::string HelpTopicOf(int32_t Context);
