// Orbit's web page: the same show, from an install of the engine alone.
#include "orbit.h"
#include "web/ShowPage.h"

int main() {
    return vq_web::pageMain(orbit::orbitShow());
}
