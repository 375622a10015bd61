// Where a headless run gets its GL context: from the X server when one
// answers, otherwise through EGL with no window system at all (Mesa's
// surfaceless platform, or a GPU driver's own EGL display), wrapped by Qt's
// EGL platform.  Both give the same frames.
#pragma once

struct xcb_connection_t;

namespace headless {

// A connection to the X server at $DISPLAY, when one answers, held open
// while the object lives: were it the server's only client, closing it would
// make the server reset (Xvfb's default) just as Qt connects.
class XServerProbe {
public:
    XServerProbe();
    ~XServerProbe();
    XServerProbe(const XServerProbe&) = delete;
    XServerProbe& operator=(const XServerProbe&) = delete;

    bool reachable() const { return connection != nullptr; }

private:
    xcb_connection_t* connection = nullptr;
};

// Whether an off-screen run should use EGL: no X server answers and Qt was
// not asked for a platform other than X's.
bool offscreenNeedsEgl(const XServerProbe& xServer);

// Sets Qt up for its EGL platform before the application object exists: no
// screen device, input devices or terminal of its own, and Mesa's
// surfaceless platform unless another EGL platform was asked for.
void useSurfacelessEgl();

} // namespace headless
