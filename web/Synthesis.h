#ifndef VQ_WEB_SYNTHESIS_H
#define VQ_WEB_SYNTHESIS_H

#include <functional>
#include <vector>

// A page's music, made by the page itself as it opens: a second module
// beside the show's, whose main hands its renderer to synthesisMain.
//
//     int main() { return vq_web::synthesisMain(renderMyTrack); }
//
// The runtime runs that module in a worker, so the page stays responsive
// while it renders, and moves the page's bar as the renderer reports
// progress. The renderer's answer is a 16-bit PCM WAV file: the page plays
// its samples and offers it for saving.
//
// It DOES NOT stream: the whole track is rendered before Start is offered.
namespace vq_web {

using Progress = std::function<void(double done)>;
using Synthesis = std::function<std::vector<unsigned char>(const Progress& progress)>;

// Keeps the renderer for the runtime; 0.
int synthesisMain(Synthesis render);

} // namespace vq_web

#endif
