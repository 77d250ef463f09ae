// The module's resources: the class icon (images registered by the program), and the arrow cursor
// on the window.
#include "platform/sdl/state.h"

using namespace sdl_layer;

namespace {

const IconImage *largest_image(HICON icon) {
    const auto found = sdl_state().icons.find(handle_key(icon));
    if (found == sdl_state().icons.end())
        return nullptr;
    const IconImage *best = nullptr;
    for (const IconImage &image : sdl_state().icon_resources[found->second])
        if (best == nullptr || image.width * image.height >= best->width * best->height)
            best = &image;
    return best;
}

} // namespace

namespace sdl_layer {

void apply_class_resources(const SdlWindow &window) {
    if (const IconImage *image = largest_image(window.window_class->icon)) {
        SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t *>(image->argb.data()), image->width, image->height, 32,
            image->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface != nullptr) {
            SDL_SetWindowIcon(window.sdl, surface);
            SDL_FreeSurface(surface);
        }
    }
    if (window.window_class->cursor != nullptr &&
        window.window_class->cursor == shared_state().arrow_cursor) {
        SdlState &s = sdl_state();
        if (s.arrow == nullptr)
            s.arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        if (s.arrow != nullptr)
            SDL_SetCursor(s.arrow);
    }
}

} // namespace sdl_layer

void sdl_win32_add_icon_image(int resource_id, int width, int height, const std::uint32_t *argb) {
    if (width <= 0 || height <= 0 || argb == nullptr)
        return;
    IconImage image;
    image.width = width;
    image.height = height;
    image.argb.assign(argb,
                      argb + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    sdl_state().icon_resources[resource_id].push_back(std::move(image));
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr) {
        unsupported("LoadIconA", "a system icon");
        return nullptr;
    }
    if (!is_int_resource(name)) {
        unsupported("LoadIconA", "an icon named by a string");
        return nullptr;
    }
    const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    // A missing resource is an ordinary failure, as on Windows.
    if (instance != sdl_win32_module() || sdl_state().icon_resources.count(id) == 0)
        return nullptr;
    // Icons loaded from resources are shared: the same resource gives the same handle.
    for (const auto &icon : sdl_state().icons)
        if (icon.second == id)
            return reinterpret_cast<HICON>(icon.first);
    const HICON icon = new_handle<HICON>();
    sdl_state().icons[handle_key(icon)] = id;
    return icon;
}
