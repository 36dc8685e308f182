#ifndef VQ_TESTS_REFERENCEMOMENTS_H
#define VQ_TESTS_REFERENCEMOMENTS_H

#include <ostream>
#include <string>

// The show's key moments, each pictured in tests/reference/ as velquor-capture
// draws it at referenceWidth x referenceHeight and referenceFps frames a
// second. Whatever else draws the show (zink, the web page) is held to them.
const int referenceWidth = 480;
const int referenceHeight = 270;
// Motion in the show advances once per frame, so the pictures hold for this
// frame rate only.
const int referenceFps = 30;

struct Moment {
    double seconds;
    const char* name;
    const char* scene; // the scene this moment pictures in demo/pictures/, if any
};

// At least one per scene, each where its scene shows clearly.
const int momentCount = 11;
extern const Moment moments[momentCount];

// Names the moment in test output.
void PrintTo(const Moment& moment, std::ostream* out);

std::string referencePath(const Moment& moment);

// The moment's name as a test name: letters and digits, '_' for the rest.
std::string testNameOf(const Moment& moment);

#endif
