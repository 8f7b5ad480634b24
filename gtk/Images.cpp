#include "gtk/Images.h"

#include "gtk/EmbeddedImages.h"
#include "protocol/Languages.h"

#include <stdexcept>
#include <string>

namespace tervane {

namespace {

GdkPixbuf* Decode(std::string_view name) {
    const std::string_view bytes = EmbeddedImage(name);
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GError* error = nullptr;
    gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(),
                            &error);
    if (!error)
        gdk_pixbuf_loader_close(loader, &error);
    if (error) {
        const std::string message = error->message;
        g_error_free(error);
        g_object_unref(loader);
        throw std::runtime_error("Cannot load the image " + std::string(name) + ": " + message);
    }
    GdkPixbuf* image = GDK_PIXBUF(g_object_ref(gdk_pixbuf_loader_get_pixbuf(loader)));
    g_object_unref(loader);
    return image;
}

// The image with every pixel of one colour transparent.
GdkPixbuf* Masked(std::string_view name, guchar r, guchar g, guchar b) {
    GdkPixbuf* image = Decode(name);
    GdkPixbuf* masked = gdk_pixbuf_add_alpha(image, TRUE, r, g, b);
    g_object_unref(image);
    return masked;
}

const char* PictureFile(BalloonType type) {
    switch (type) {
    case BalloonType::Error:
        return "balloon-error.bmp";
    case BalloonType::Warning:
        return "balloon-warning.bmp";
    case BalloonType::Info:
        break;
    }
    return "balloon-info.bmp";
}

} // namespace

GdkPixbuf* FlagImage(int position) {
    if (position < 0 || position >= tervane::protocol::kLanguageCount)
        return nullptr;
    static GdkPixbuf* strip = Masked("flags.bmp", 255, 0, 255);
    return gdk_pixbuf_new_subpixbuf(strip, 16 * position, 0, 16, 16);
}

GdkPixbuf* BalloonPicture(BalloonType type) {
    GdkPixbuf* image = Decode(PictureFile(type));
    // The colour of the bottom left pixel is left out.
    const guchar* pixels = gdk_pixbuf_get_pixels(image);
    const int stride = gdk_pixbuf_get_rowstride(image);
    const guchar* corner = pixels + stride * (gdk_pixbuf_get_height(image) - 1);
    GdkPixbuf* masked = gdk_pixbuf_add_alpha(image, TRUE, corner[0], corner[1], corner[2]);
    g_object_unref(image);
    return masked;
}

GdkPixbuf* CompactGlyph() {
    return Masked("compact.bmp", 255, 0, 255);
}

GdkPixbuf* ProgramIcon(int size) {
    GdkPixbuf* icon = Decode("tervane.ico");
    GdkPixbuf* scaled = gdk_pixbuf_scale_simple(icon, size, size, GDK_INTERP_BILINEAR);
    g_object_unref(icon);
    return scaled;
}

} // namespace tervane
