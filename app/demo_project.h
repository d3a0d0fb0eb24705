#pragma once

#include "app/command_line_render.h"

#include <string>

class TProject;

// A project the program can make on its own, for a first look on a fresh
// machine: its media are made at run time in Folder (two clips of moving
// colour patterns with sound, a still picture and a tone), and laid out on
// the project's tracks with a wipe, a cross-fade and a title.
//
//   MakeDemoMedia(Folder);
//   BuildDemoProject(*Project, Folder);
void MakeDemoMedia(const std::string& Folder);
void BuildDemoProject(TProject& Project, const std::string& Folder);

enum class TDemoJob { MakeOnly, MakeAndRender };
// The main job without arguments: makes the demo in Folder, saves it as a
// project file (DemoProjectFile) and, for MakeAndRender, renders it as
// Request asks (an empty output: an MP4 file beside it). Returns the exit
// code.
int RunDemo(const std::string& Folder, TDemoJob Job = TDemoJob::MakeAndRender,
            const TRenderRequest& Request = {});
// The demo's project file in Folder, by full path.
std::string DemoProjectFile(const std::string& Folder);
