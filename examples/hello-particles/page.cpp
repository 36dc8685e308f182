// hello-particles on a web page: the same show, in one HTML file.
#include "show.h"
#include "web/ShowPage.h"

int main() {
    return vq_web::pageMain(helloShow());
}
