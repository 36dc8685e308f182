#ifndef VQ_TESTS_KEEPSSCENES_H
#define VQ_TESTS_KEEPSSCENES_H

// Included by the one source of a test program that builds the show's scenes.
// A scene keeps its clouds, glyphs and particle program for the life of the
// process, and nothing deletes a scene (the demo never does), so everything a
// built scene allocated is still allocated at exit. LeakSanitizer would list
// only that, so it is off for these programs; the sanitizer suite keeps it on
// for every other test program, the loader, shader and mesh tests among them.
extern "C" int __lsan_is_turned_off() {
    return 1;
}

#endif
