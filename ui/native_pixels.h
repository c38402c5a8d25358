// A buffer of 32-bit pixels (0x00RRGGBB, the layout of an X TrueColor
// visual of depth 24 and of a Windows DIB) that is sent to the display
// without converting it; on an X server on the same machine it is shared
// memory (MIT-SHM), which the server reads in place instead of receiving
// every byte through the connection.
//
// GUI thread only. Pixels are put inside a draw: the target is the
// toolkit's current window or offscreen, with its clip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace fan {

class NativePixels {
public:
    // width x height pixels, left uninitialised.
    NativePixels(int width, int height);
    ~NativePixels();
    NativePixels(const NativePixels&) = delete;
    NativePixels& operator=(const NativePixels&) = delete;

    const uint32_t* pixels() const { return pixels_; }
    // The pixels to change. The display may still be reading them for an
    // earlier put: this waits until it has, so call it before every change.
    uint32_t* pixelsToChange();

    // Draws rows rowBegin to rowEnd - 1 with the top-left pixel at (x, y).
    // False, drawing nothing, when the display takes another layout: the
    // caller then goes through the toolkit.
    bool put(int rowBegin, int rowEnd, int x, int y);

    // Whether the display reads these pixels from shared memory.
    bool shared() const { return segment_ != nullptr; }

    struct Segment;

private:
    int width_;
    int height_;
    uint32_t* pixels_ = nullptr;
    std::unique_ptr<uint32_t[]> ownMemory_;
    std::unique_ptr<Segment> segment_;
};

// Whether buffers made from now on may be shared with the display (by
// default they are whenever the display can). Tests turn it off to run the
// path of a display that cannot share memory, such as a remote one.
void allowSharedPixels(bool allowed);

}  // namespace fan
