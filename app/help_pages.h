#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TWindowSystem;

// The help the program ships: one HTML page per topic in the help folder,
// the start page named by the text table's HelpFileName. A help request
// names a topic by its help context number (HelpTopics, commands/); the
// topic's page opens in the desktop's browser through xdg-open.
//
//   ShowHelp(System, Folders.Help, HelpContextOf(TimelineHelpTopic));

// The topics of the main window's parts, as help-topic paths.
inline constexpr std::string_view TimelineHelpTopic = "timeline.html";
inline constexpr std::string_view PlayerHelpTopic = "player.html";

// The page a topic path shows: the help folder's file of that path when it
// exists (a ".htm" path also finds its ".html" page), else the start page.
// A path that climbs out of the help folder ("..") or is absolute gets the
// start page: topic paths come from commands and stored configurations.
std::string HelpPageFile(const std::string& HelpFolder, std::string_view Topic);

// A file:// URL for an absolute path, with every byte outside the unreserved
// set and "/" percent-encoded, so that blanks and non-ASCII names survive
// the hand-over to the browser.
std::string FileUrl(std::string_view Path);

// Opens the page of the topic numbered Context (0 and unknown numbers: the
// start page). Raises EWindowSystem when the browser cannot be started.
void ShowHelp(TWindowSystem& System, const std::string& HelpFolder, int32_t Context);
