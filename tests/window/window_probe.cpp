// Looks at the game's window from outside, as a player's screen shows it.
//   window_probe grab WINDOW_ID OUT.png      the window's picture from the X server
//   window_probe compare A.png B.png SLACK   share of pixels within SLACK per channel
//   window_probe scaled BIG.png SMALL.png SLACK
//                                            the picture's box inside BIG's black bars, and the
//                                            share of SMALL's pixels within SLACK of BIG's pixel
//                                            at the same place of that box (a full-screen frame
//                                            against the windowed one)
//   window_probe colours A.png               mean brightness and the share of dark pixels
//   window_probe sharp A.png FACTOR          the picture's box inside black bars, and the share of
//                                            its FACTORxFACTOR blocks that are one colour
//   window_probe icon WINDOW_ID              the sizes of the window's icons (_NET_WM_ICON)
//   window_probe unfocus                     gives the keyboard focus to the root window
//   window_probe cover WINDOW_ID SECONDS     puts a white window over it for a while, then
//                                            takes it away (the window must paint itself again)
// Results go to standard output as "key value" lines; the exit status is 0
// when the pictures could be read, 1 otherwise.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // three bytes a pixel
};

bool readPng(const char* path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.assign(static_cast<size_t>(picture.width) * picture.height * 3, 0);
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

bool writePng(const char* path, const Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, picture.rgb.data(), 0, nullptr) != 0;
}

// The bits of one colour channel under its mask, scaled to 0..255.
uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long top = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / top);
}

// A window that is not mapped yet (or is being remade) answers with an X
// error; the default handler would end the program.
int gXErrors = 0;
int countXError(Display*, XErrorEvent*) {
    ++gXErrors;
    return 0;
}

int grab(const char* windowText, const char* out) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    XSetErrorHandler(countXError);
    const Window window = std::strtoul(windowText, nullptr, 0);
    XWindowAttributes attributes{};
    XImage* image = nullptr;
    // A window just made may take a moment to become viewable.
    for (int attempt = 0; attempt < 50 && !image; ++attempt) {
        if (attempt > 0) usleep(50'000);
        if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) continue;
        image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                          static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    }
    if (!image) {
        std::fprintf(stderr, "the picture of window %s could not be read (%d X errors)\n", windowText, gXErrors);
        XCloseDisplay(display);
        return 1;
    }
    Picture picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            uint8_t* rgb = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
            rgb[0] = channel(p, image->red_mask);
            rgb[1] = channel(p, image->green_mask);
            rgb[2] = channel(p, image->blue_mask);
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    if (!writePng(out, picture)) {
        std::fprintf(stderr, "%s could not be written\n", out);
        return 1;
    }
    std::printf("size %dx%d\n", picture.width, picture.height);
    return 0;
}

int compare(const char* a, const char* b, int slack) {
    Picture first, second;
    if (!readPng(a, first) || !readPng(b, second)) {
        std::fprintf(stderr, "a picture could not be read\n");
        return 1;
    }
    if (first.width != second.width || first.height != second.height) {
        std::printf("match 0\nsizes %dx%d %dx%d\n", first.width, first.height, second.width, second.height);
        return 0;
    }
    const size_t pixels = static_cast<size_t>(first.width) * first.height;
    size_t matching = 0;
    for (size_t i = 0; i < pixels; ++i) {
        bool same = true;
        for (int c = 0; c < 3; ++c)
            if (std::abs(first.rgb[i * 3 + c] - second.rgb[i * 3 + c]) > slack) same = false;
        matching += same;
    }
    std::printf("match %.4f\n", pixels ? static_cast<double>(matching) / pixels : 0.0);
    return 0;
}

// The rows and columns of a picture that hold anything but black: false when
// it is all black.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
};
bool pictureBox(const Picture& picture, Box& box) {
    int left = picture.width, top = picture.height, right = -1, bottom = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    if (right < 0) return false;
    box = {left, top, right - left + 1, bottom - top + 1};
    return true;
}

int scaled(const char* big, const char* small, int slack) {
    Picture whole, window;
    if (!readPng(big, whole) || !readPng(small, window)) {
        std::fprintf(stderr, "a picture could not be read\n");
        return 1;
    }
    Box box;
    if (!pictureBox(whole, box)) {
        std::printf("box none\nmatch 0\n");
        return 0;
    }
    // Each small pixel against the big pixel under its centre.
    size_t matching = 0;
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x) {
            const int bx = box.left + static_cast<int>((x + 0.5) * box.width / window.width);
            const int by = box.top + static_cast<int>((y + 0.5) * box.height / window.height);
            const uint8_t* a = &window.rgb[(static_cast<size_t>(y) * window.width + x) * 3];
            const uint8_t* b = &whole.rgb[(static_cast<size_t>(by) * whole.width + bx) * 3];
            bool same = true;
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[c] - b[c]) > slack) same = false;
            matching += same;
        }
    const size_t pixels = static_cast<size_t>(window.width) * window.height;
    std::printf("box %d %d %d %d\nmatch %.4f\n", box.left, box.top, box.width, box.height,
                pixels ? static_cast<double>(matching) / pixels : 0.0);
    return 0;
}

int colours(const char* path) {
    Picture picture;
    if (!readPng(path, picture)) {
        std::fprintf(stderr, "%s could not be read\n", path);
        return 1;
    }
    const size_t pixels = static_cast<size_t>(picture.width) * picture.height;
    double sum = 0;
    size_t dark = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const int level = picture.rgb[i * 3] + picture.rgb[i * 3 + 1] + picture.rgb[i * 3 + 2];
        sum += level / 3.0;
        dark += level < 3 * 16;
    }
    std::printf("size %dx%d\nmean %.2f\ndark %.4f\n", picture.width, picture.height,
                pixels ? sum / pixels : 0.0, pixels ? static_cast<double>(dark) / pixels : 0.0);
    return 0;
}

// The picture's box: the rows and columns that hold anything but black.
int sharp(const char* path, int factor) {
    Picture picture;
    if (!readPng(path, picture) || factor < 1) {
        std::fprintf(stderr, "%s could not be read\n", path);
        return 1;
    }
    auto black = [&](int x, int y) {
        const uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
        return p[0] == 0 && p[1] == 0 && p[2] == 0;
    };
    int left = picture.width, top = picture.height, right = -1, bottom = -1;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (!black(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) {
        std::printf("box none\nuniform 0\n");
        return 0;
    }
    size_t blocks = 0, uniform = 0;
    for (int by = top; by + factor <= bottom + 1; by += factor)
        for (int bx = left; bx + factor <= right + 1; bx += factor) {
            const uint8_t* first = &picture.rgb[(static_cast<size_t>(by) * picture.width + bx) * 3];
            bool same = true;
            for (int y = by; y < by + factor && same; ++y)
                for (int x = bx; x < bx + factor && same; ++x)
                    same = std::memcmp(first, &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3], 3) == 0;
            ++blocks;
            uniform += same;
        }
    std::printf("box %d %d %d %d\nuniform %.4f\n", left, top, right - left + 1, bottom - top + 1,
                blocks ? static_cast<double>(uniform) / blocks : 0.0);
    return 0;
}

int icon(const char* windowText) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    XSetErrorHandler(countXError);
    const Window window = std::strtoul(windowText, nullptr, 0);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, "_NET_WM_ICON", False);
    if (XGetWindowProperty(display, window, property, 0, 1 << 24, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success && data && format == 32) {
        // Width, height, then that many pixels, for each icon in turn.
        const unsigned long* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long at = 0; at + 2 <= count;) {
            const unsigned long w = values[at], h = values[at + 1];
            if (w == 0 || h == 0 || at + 2 + w * h > count) break;
            size_t opaque = 0;
            for (unsigned long i = 0; i < w * h; ++i) opaque += (values[at + 2 + i] >> 24) > 0;
            std::printf("icon %lux%lu opaque %.3f\n", w, h, static_cast<double>(opaque) / (w * h));
            at += 2 + w * h;
        }
    }
    if (data) XFree(data);
    XCloseDisplay(display);
    return 0;
}

int unfocus() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    XSetInputFocus(display, DefaultRootWindow(display), RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

int cover(const char* windowText, double seconds) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    XSetErrorHandler(countXError);
    const Window window = std::strtoul(windowText, nullptr, 0);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) {
        XCloseDisplay(display);
        return 1;
    }
    int x = 0, y = 0;
    Window child = 0;
    const Window root = DefaultRootWindow(display);
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    XSetWindowAttributes set{};
    set.override_redirect = True;
    set.background_pixel = WhitePixel(display, DefaultScreen(display));
    const Window over = XCreateWindow(display, root, x, y, static_cast<unsigned>(attributes.width),
                                      static_cast<unsigned>(attributes.height), 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWOverrideRedirect | CWBackPixel, &set);
    XMapRaised(display, over);
    XSync(display, False);
    usleep(static_cast<useconds_t>(seconds * 1e6));
    XDestroyWindow(display, over);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "grab" && argc == 4) return grab(argv[2], argv[3]);
    if (verb == "compare" && argc == 5) return compare(argv[2], argv[3], std::atoi(argv[4]));
    if (verb == "colours" && argc == 3) return colours(argv[2]);
    if (verb == "scaled" && argc == 5) return scaled(argv[2], argv[3], std::atoi(argv[4]));
    if (verb == "sharp" && argc == 4) return sharp(argv[2], std::atoi(argv[3]));
    if (verb == "icon" && argc == 3) return icon(argv[2]);
    if (verb == "unfocus" && argc == 2) return unfocus();
    if (verb == "cover" && argc == 4) return cover(argv[2], std::atof(argv[3]));
    std::fprintf(stderr,
                 "usage: window_probe grab WINDOW_ID OUT.png | compare A.png B.png SLACK | colours A.png |\n"
                 "       sharp A.png FACTOR | icon WINDOW_ID | unfocus | cover WINDOW_ID SECONDS\n");
    return 2;
}
