/* Counts the frames a GL program shows, without touching the program: loaded
 * with LD_PRELOAD, it wraps glXSwapBuffers and prints the frame rate of every
 * measuring period to standard error.
 *
 *   LD_PRELOAD=build/tools/libzarvik-framerate.so ZARVIK_FRAMERATE_PERIOD=5 build/game/zarvik
 *
 * prints lines "framerate: 39.8 fps (199 frames in 5.00 s)". The first period
 * starts at the first swap. Works on any binary, so an old and a new build
 * are measured the same way. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable) = NULL;
    static double periodStart = 0, period = 0;
    static long frames = 0;
    if (!real) {
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
        const char* p = getenv("ZARVIK_FRAMERATE_PERIOD");
        period = p ? atof(p) : 5.0;
        if (period <= 0) period = 5.0;
    }
    real(display, drawable);
    const double t = now();
    if (frames++ == 0) {
        periodStart = t;
        return;
    }
    if (t - periodStart >= period) {
        const long counted = frames - 1;
        fprintf(stderr, "framerate: %.1f fps (%ld frames in %.2f s)\n", counted / (t - periodStart), counted,
                t - periodStart);
        periodStart = t;
        frames = 1;
    }
}
