// Pixels into an X drawable: from a shared memory segment with XShmPutImage
// where the server can attach one, with XPutImage otherwise.
#include "ui/native_pixels.h"

#include <FL/x.H>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace fan {

struct NativePixels::Segment {
    XShmSegmentInfo info{};
    size_t bytes = 0;
    // The last XShmPutImage from the segment, which the server may not have
    // carried out yet.
    unsigned long putSerial = 0;
    bool putPending = false;
};

namespace {

bool sharingAllowed = true;
// Set once an attach fails (a remote display, or one that refuses this
// program's segments): later buffers go through the connection at once.
bool attachRefused = false;
bool attachError = false;
// The segment of the last buffer released, kept for the next one: the
// live preview replaces its image on most ticks, and a fresh segment would
// cost two round trips to the server and the kernel a fresh zeroed page for
// every 4 KiB. Never freed at exit: the kernel removes it with the process.
NativePixels::Segment* spare = nullptr;

// The visual of nearly every X server today: TrueColor of depth 24 held in
// 32 bits, red in the high byte. Checked once, when first needed.
bool displayTakesOurLayout() {
    const Visual* visual = fl_visual->visual;
    if (fl_visual->depth != 24 || fl_visual->c_class != TrueColor || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
        return false;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(fl_display, &count);
    bool bits32 = false;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == 24) bits32 = formats[i].bits_per_pixel == 32;
    if (formats != nullptr) XFree(formats);
    return bits32;
}

bool nativeLayout() {
    static const bool native = displayTakesOurLayout();
    return native;
}

int recordAttachError(Display*, XErrorEvent*) {
    attachError = true;
    return 0;
}

void release(NativePixels::Segment* segment) {
    // The server handles requests in order, so it finishes any put from the
    // segment before it detaches; the memory goes once both sides let go.
    XShmDetach(fl_display, &segment->info);
    shmdt(segment->info.shmaddr);
    delete segment;
}

std::unique_ptr<NativePixels::Segment> attachSegment(size_t bytes) {
    auto segment = std::make_unique<NativePixels::Segment>();
    segment->bytes = bytes;
    segment->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment->info.shmid < 0) return nullptr;
    void* address = shmat(segment->info.shmid, nullptr, 0);
    // shmat reports failure as the address (void*)-1.
    if (reinterpret_cast<intptr_t>(address) == -1) {
        shmctl(segment->info.shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    segment->info.shmaddr = static_cast<char*>(address);
    segment->info.readOnly = True;
    // A failed attach comes back as an X error: caught here instead of
    // reaching the toolkit's handler, after everything sent before.
    XSync(fl_display, False);
    attachError = false;
    const XErrorHandler previous = XSetErrorHandler(recordAttachError);
    const Status attached = XShmAttach(fl_display, &segment->info);
    XSync(fl_display, False);
    XSetErrorHandler(previous);
    // Removed once both sides detach, even if this program is killed.
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (!attached || attachError) {
        shmdt(address);
        attachRefused = true;
        return nullptr;
    }
    return segment;
}

std::unique_ptr<NativePixels::Segment> sharedSegment(size_t bytes) {
    if (!sharingAllowed || attachRefused || bytes == 0 || fl_display == nullptr || !nativeLayout()) return nullptr;
    static const bool serverShares = XShmQueryExtension(fl_display);
    if (!serverShares) return nullptr;
    if (spare != nullptr && spare->bytes >= bytes)
        return std::unique_ptr<NativePixels::Segment>(std::exchange(spare, nullptr));
    return attachSegment(bytes);
}

// An image of the whole buffer in our layout.
XImage describe(uint32_t* pixels, int width, int height) {
    XImage image;
    std::memset(&image, 0, sizeof image);
    image.width = width;
    image.height = height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(pixels);
    // The bytes of a uint32_t as this machine stores them; Xlib swaps them
    // for a server of the other order.
    const uint32_t probe = 1;
    unsigned char lowFirst = 0;
    std::memcpy(&lowFirst, &probe, 1);
    image.byte_order = lowFirst ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = 24;
    image.bytes_per_line = width * 4;
    image.bits_per_pixel = 32;
    image.red_mask = 0xFF0000;
    image.green_mask = 0xFF00;
    image.blue_mask = 0xFF;
    return image;
}

}  // namespace

NativePixels::NativePixels(int width, int height) : width_(width), height_(height) {
    const size_t count = static_cast<size_t>(width > 0 ? width : 0) * static_cast<size_t>(height > 0 ? height : 0);
    segment_ = sharedSegment(count * sizeof(uint32_t));
    if (segment_) {
        pixels_ = reinterpret_cast<uint32_t*>(segment_->info.shmaddr);
    } else {
        ownMemory_.reset(new uint32_t[count]);
        pixels_ = ownMemory_.get();
    }
}

NativePixels::~NativePixels() {
    if (!segment_) return;
    if (spare != nullptr) release(spare);
    spare = segment_.release();
}

uint32_t* NativePixels::pixelsToChange() {
    if (segment_ && segment_->putPending) {
        // The put's completion event, read by the toolkit's event loop,
        // tells Xlib the server is past it; only when it has not come yet
        // is there anything to wait for.
        if (LastKnownRequestProcessed(fl_display) < segment_->putSerial) XSync(fl_display, False);
        segment_->putPending = false;
    }
    return pixels_;
}

bool NativePixels::put(int rowBegin, int rowEnd, int x, int y) {
    if (!nativeLayout()) return false;
    if (rowBegin >= rowEnd) return true;
    XImage image = describe(pixels_, width_, height_);
    if (!XInitImage(&image)) return false;
    const auto w = static_cast<unsigned>(width_);
    const auto h = static_cast<unsigned>(rowEnd - rowBegin);
    if (segment_) {
        image.obdata = reinterpret_cast<char*>(&segment_->info);
        segment_->putSerial = NextRequest(fl_display);
        XShmPutImage(fl_display, fl_window, fl_gc, &image, 0, rowBegin, x, y + rowBegin, w, h, True);
        segment_->putPending = true;
    } else {
        XPutImage(fl_display, fl_window, fl_gc, &image, 0, rowBegin, x, y + rowBegin, w, h);
    }
    return true;
}

void allowSharedPixels(bool allowed) {
    sharingAllowed = allowed;
}

}  // namespace fan
