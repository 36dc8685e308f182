// Velquor's music, made in the page as it opens: the score and synthesis
// that velquor-soundtrack renders, compiled for the browser, giving the
// same 16-bit WAV that velquor-soundtrack writes.
#include "music/Score.h"
#include "music/Wav.h"
#include "web/Synthesis.h"

int main() {
    return vq_web::synthesisMain(
        [](const vq_web::Progress& progress) { return soundtrack::encodeWav(soundtrack::renderTrack(progress)); });
}
