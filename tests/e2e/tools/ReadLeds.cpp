// Reads the four LED displays of the main window back from the screen, the way a user reads them:
// it takes the window's pixels from the root window and looks at the known segment positions of
// every cell. Prints "phase remaining elapsed round", e.g. "0:01 0:00:03 0:00:01 1".
//
//   tolvane_read_leds WINDOW             one reading
//   tolvane_read_leds WINDOW SECONDS     every change for that long, as "<ms> <reading>"
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Point {
    int x;
    int y;
};

// Where to look in one cell for each segment the digits and the colon use: points on the centre
// line of each bar, clear of the dots where a bar and a dot overlap. Bits as in the LED label:
// 0 top, 1 upper left, 2 upper right, 3 middle, 4 lower left, 5 lower right, 6 bottom,
// 7 upper centre, 8 lower centre; the centre dot and the bottom dot follow as 9 and 10.
struct CellLayout {
    int width;
    int height;
    std::array<std::vector<Point>, 11> samples;
};

// Thickness 4, horizontal 30, vertical 25: 50 x 78 cells.
const CellLayout bigCell{50,
                         78,
                         {{{{14, 6}, {18, 6}, {32, 6}, {36, 6}},
                           {{6, 14}, {6, 22}, {6, 30}},
                           {{44, 14}, {44, 22}, {44, 30}},
                           {{13, 39}, {17, 39}, {33, 39}, {37, 39}},
                           {{6, 48}, {6, 56}, {6, 63}},
                           {{44, 48}, {44, 56}, {44, 63}},
                           {{14, 72}, {18, 72}, {32, 72}, {36, 72}},
                           {{25, 15}, {25, 21}, {25, 29}},
                           {{25, 47}, {25, 55}, {25, 63}},
                           {{24, 38}},
                           {{24, 71}}}}};

// Thickness 2, horizontal 4, vertical 4: 14 x 22 cells.
const CellLayout smallCell{14,
                           22,
                           {{{{5, 3}, {7, 3}, {9, 3}},
                             {{3, 6}, {3, 7}, {3, 8}},
                             {{11, 6}, {11, 7}, {11, 8}},
                             {{8, 11}, {9, 11}},
                             {{3, 14}, {3, 15}, {3, 16}},
                             {{11, 14}, {11, 15}, {11, 16}},
                             {{8, 19}, {9, 19}},
                             {{7, 6}, {7, 7}, {7, 8}},
                             {{7, 14}, {7, 15}, {7, 16}},
                             {{6, 10}},
                             {{6, 18}}}}};

// A display: its left top corner in client coordinates, its cell size and how many cells it can
// show inside the window.
struct LedDisplay {
    Point origin;
    const CellLayout* cell;
    int maximumCells;
};

const std::array<LedDisplay, 4> displays{{
    {{35, 8}, &bigCell, 4},      // phase time, grows to the right with a fifth character
    {{8, 112}, &smallCell, 7},   // remaining time
    {{114, 112}, &smallCell, 7}, // elapsed time
    {{220, 112}, &smallCell, 3}, // round
}};

// Bits 0..8 of each digit's segment mask.
constexpr std::array<std::pair<unsigned, char>, 10> digitMasks{{
    {0x077, '0'},
    {0x180, '1'},
    {0x05D, '2'},
    {0x06D, '3'},
    {0x02E, '4'},
    {0x06B, '5'},
    {0x07B, '6'},
    {0x025, '7'},
    {0x07F, '8'},
    {0x06F, '9'},
}};

class Screenshot {
public:
    Screenshot(Display* display, Window window)
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes))
            return;
        Window child;
        int rootX = 0;
        int rootY = 0;
        const Window root = DefaultRootWindow(display);
        XTranslateCoordinates(display, window, root, 0, 0, &rootX, &rootY, &child);
        m_image = XGetImage(display, root, rootX, rootY, unsigned(attributes.width),
                            unsigned(attributes.height), AllPlanes, ZPixmap);
        m_width = attributes.width;
        m_height = attributes.height;
    }
    ~Screenshot()
    {
        if (m_image)
            XDestroyImage(m_image);
    }
    Screenshot(const Screenshot&) = delete;
    Screenshot& operator=(const Screenshot&) = delete;

    bool valid() const { return m_image != nullptr; }
    int height() const { return m_height; }

    // Green channel of a pixel, 0 outside the picture.
    int green(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return 0;
        const unsigned long pixel = XGetPixel(m_image, x, y);
        return int((pixel & m_image->green_mask) >> greenShift());
    }
    bool lit(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return false;
        const unsigned long pixel = XGetPixel(m_image, x, y);
        const auto red = (pixel & m_image->red_mask) >> redShift();
        const auto blue = pixel & m_image->blue_mask;
        return green(x, y) > 200 && red < 80 && blue < 80;
    }

private:
    int greenShift() const { return std::countr_zero(m_image->green_mask); }
    int redShift() const { return std::countr_zero(m_image->red_mask); }

    XImage* m_image = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// A segment is lit when most of its sample points are.
bool segmentLit(const Screenshot& shot, Point cell, const std::vector<Point>& samples)
{
    int count = 0;
    for (const Point& p : samples)
        count += shot.lit(cell.x + p.x, cell.y + p.y) ? 1 : 0;
    return 2 * count > int(samples.size());
}

// A cell is there when its top bar shows, lit or as a ghost.
bool cellPresent(const Screenshot& shot, Point cell, const CellLayout& layout)
{
    for (const Point& p : layout.samples[0])
        if (shot.green(cell.x + p.x, cell.y + p.y) >= 100)
            return true;
    return false;
}

char readCell(const Screenshot& shot, Point cell, const CellLayout& layout)
{
    unsigned mask = 0;
    for (unsigned bit = 0; bit < 9; ++bit)
        if (segmentLit(shot, cell, layout.samples[bit]))
            mask |= 1u << bit;
    if (mask == 0) {
        const bool centreDot = segmentLit(shot, cell, layout.samples[9]);
        const bool bottomDot = segmentLit(shot, cell, layout.samples[10]);
        if (centreDot && bottomDot)
            return ':';
        return bottomDot ? '.' : ' ';
    }
    for (const auto& [digitMask, digit] : digitMasks)
        if (digitMask == mask)
            return digit;
    return '?';
}

std::string readDisplay(const Screenshot& shot, int menuHeight, const LedDisplay& display)
{
    std::string text;
    for (int column = 0; column < display.maximumCells; ++column) {
        const Point cell{display.origin.x + column * display.cell->width,
                         menuHeight + display.origin.y};
        if (!cellPresent(shot, cell, *display.cell))
            break;
        text += readCell(shot, cell, *display.cell);
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text.empty() ? std::string("-") : text;
}

constexpr int clientHeight = 195;

std::optional<std::string> reading(Display* xDisplay, Window window)
{
    const Screenshot shot(xDisplay, window);
    if (!shot.valid() || shot.height() < clientHeight)
        return std::nullopt;
    // Everything above the client area is the menu bar.
    const int menuHeight = shot.height() - clientHeight;
    std::string line;
    for (const LedDisplay& display : displays) {
        if (!line.empty())
            line += ' ';
        line += readDisplay(shot, menuHeight, display);
    }
    return line;
}

int quietErrors(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s WINDOW [SECONDS]\n", argv[0]);
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    std::unique_ptr<Display, int (*)(Display*)> xDisplay(XOpenDisplay(nullptr), XCloseDisplay);
    if (!xDisplay) {
        std::fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    // The window may go away while it is watched; that ends the watch, not the process.
    XSetErrorHandler(quietErrors);

    if (argc == 2) {
        const auto line = reading(xDisplay.get(), window);
        if (!line)
            return 1;
        std::printf("%s\n", line->c_str());
        return 0;
    }

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(std::atof(argv[2]));
    std::string last;
    while (Clock::now() < end) {
        const auto line = reading(xDisplay.get(), window);
        if (!line)
            break;
        if (*line != last) {
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            std::printf("%lld %s\n", static_cast<long long>(ms.count()), line->c_str());
            std::fflush(stdout);
            last = *line;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}
