#pragma once

#include <string>

class TProject;
class TRender;

// A render asked for on the command line.
struct TRenderRequest {
    // Empty: beside the project file, named after it with the kind's extension.
    std::string OutputFile;
    // A render kind name ("MP4Quality"); empty: the kind OutputFile's
    // extension asks for (the project's current kind when it writes such
    // files), or the project's kind when OutputFile has no extension.
    std::string Kind;
};

// The exit codes of a render from the command line.
constexpr int RenderExitWritten = 0;
constexpr int RenderExitFailed = 1;
constexpr int RenderExitInterrupted = 130;

// Renders Project (whose render driver is Render) as Request asks: picks the
// kind, checks that the project has what the kind renders and that the
// output folder can be written, then renders with a progress bar on standard
// error until the end; Ctrl+C cancels. Says where the file went on standard
// output, or why there is none on standard error.
int RenderProject(TProject& Project, TRender& Render, const TRenderRequest& Request);

// The main job with a render switch: reads the project file, with its render
// settings, and renders it.
int RunCommandLineRender(const std::string& ProjectFile, const TRenderRequest& Request);
