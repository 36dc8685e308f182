// Velquor on a web page: the show the native demo plays, from the same
// scenes and engine, in the page runtime that any show on the engine uses.
#include "demo/VelquorShow.h"
#include "web/ShowPage.h"

int main() {
    return vq_web::pageMain(velquorShow());
}
