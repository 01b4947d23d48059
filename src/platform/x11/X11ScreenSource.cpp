#include "platform/x11/X11ScreenSource.h"
#include "platform/x11/X11Connection.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <xcb/composite.h>
#include <xcb/randr.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vorlix {

namespace {

// Windows smaller than this, in logical pixels, are not offered for picking.
constexpr int smallestWindowSide = 40;

// A screen with the rectangle of the root window it shows, in device pixels.
struct Monitor {
    ScreenInfo info;
    QRect pixels;
};

struct Atoms {
    xcb_atom_t clientListStacking = XCB_ATOM_NONE;
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t wmPid = XCB_ATOM_NONE;
    xcb_atom_t wmName = XCB_ATOM_NONE;
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    xcb_atom_t frameExtents = XCB_ATOM_NONE;
    xcb_atom_t gtkFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t wmState = XCB_ATOM_NONE;
    xcb_atom_t wmStateHidden = XCB_ATOM_NONE;
    xcb_atom_t windowType = XCB_ATOM_NONE;
    // The kinds of window a user picks; docks, desktops, menus and tooltips are not.
    std::array<xcb_atom_t, 3> pickableTypes{};
};

// Left, right, top and bottom, as _NET_FRAME_EXTENTS and _GTK_FRAME_EXTENTS give them.
struct Extents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

Atoms internAtoms(xcb_connection_t* connection)
{
    const std::array names{"_NET_CLIENT_LIST_STACKING",
                           "_NET_ACTIVE_WINDOW",
                           "_NET_WM_PID",
                           "_NET_WM_NAME",
                           "UTF8_STRING",
                           "_NET_FRAME_EXTENTS",
                           "_GTK_FRAME_EXTENTS",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_HIDDEN",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_NORMAL",
                           "_NET_WM_WINDOW_TYPE_DIALOG",
                           "_NET_WM_WINDOW_TYPE_UTILITY"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    std::array<xcb_atom_t, names.size()> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return {atoms[0],
            atoms[1],
            atoms[2],
            atoms[3],
            atoms[4],
            atoms[5],
            atoms[6],
            atoms[7],
            atoms[8],
            atoms[9],
            {atoms[10], atoms[11], atoms[12]}};
}

// A System V shared memory segment this client and the server both map. Images wrap it
// without a copy and hold it until they let go of their pixels; the server's side is
// detached by the source that attached it.
struct SharedSegment {
    xcb_shm_seg_t id = 0;
    void* address = nullptr;
    std::size_t size = 0;

    SharedSegment() = default;
    SharedSegment(const SharedSegment&) = delete;
    SharedSegment& operator=(const SharedSegment&) = delete;
    ~SharedSegment()
    {
        if (address)
            shmdt(address);
    }
};

void releaseSegment(void* holder) { delete static_cast<std::shared_ptr<SharedSegment>*>(holder); }

// A new segment pays for its first touch of every page (about 190 ms for a 5K screen
// under Xvfb); a reused one costs a copy (4 ms). So segments are kept for the next grabs.
constexpr std::size_t keptFreeSegments = 2;

class X11ScreenSource final : public ScreenSource {
public:
    X11ScreenSource(xcb_connection_t* connection, const xcb_screen_t* screen, bool sharedMemory)
        : m_connection(connection),
          m_root(screen->root),
          m_rootSize(screen->width_in_pixels, screen->height_in_pixels),
          m_atoms(internAtoms(connection))
    {
        m_hasShm = sharedMemory && hasExtension(&xcb_shm_id);
        m_hasComposite = hasExtension(&xcb_composite_id);
        m_hasRandr = hasExtension(&xcb_randr_id);
        if (m_hasComposite) {
            Reply<xcb_composite_query_version_reply_t> version(
                xcb_composite_query_version_reply(connection, xcb_composite_query_version(connection, 0, 2), nullptr));
            m_hasComposite = version && (version->major_version > 0 || version->minor_version >= 2);
        }
    }

    ~X11ScreenSource() override
    {
        for (const std::shared_ptr<SharedSegment>& segment : m_segments)
            xcb_shm_detach(m_connection, segment->id);
        xcb_flush(m_connection);
    }

    std::vector<ScreenInfo> screens() const override
    {
        std::vector<ScreenInfo> screens;
        for (const Monitor& monitor : monitors())
            screens.push_back(monitor.info);
        return screens;
    }

    std::vector<WindowInfo> windowsFrontToBack(const std::set<std::uint32_t>& excluded) const override;
    std::optional<WindowInfo> activeWindow() const override;
    ScreenGrab grab(const ScreenInfo& screen, const QRectF& points) override;
    std::optional<QImage> grabWindow(std::uint32_t window) override;
    void activateWindow(std::uint32_t window) override;

private:
    bool hasExtension(xcb_extension_t* extension) const
    {
        const xcb_query_extension_reply_t* data = xcb_get_extension_data(m_connection, extension);
        return data && data->present;
    }

    std::vector<Monitor> monitors() const;
    Reply<xcb_get_property_reply_t> property(xcb_window_t window, xcb_atom_t atom, xcb_atom_t type,
                                             std::uint32_t longs = 1024) const
    {
        return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, window, atom, type, 0, longs), nullptr));
    }
    std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t atom, xcb_atom_t type) const;
    std::optional<Extents> extents(xcb_window_t window, xcb_atom_t atom) const;
    QString title(xcb_window_t window) const;
    QString ownerName(xcb_window_t window, std::optional<std::int64_t> pid) const;
    // The window's rectangle on the root, in device pixels; nullopt when it is gone.
    std::optional<QRect> rootGeometry(xcb_window_t window) const;
    // The child of the root that holds `window` (its window-manager frame, or itself).
    std::optional<xcb_window_t> topLevel(xcb_window_t window) const;
    std::optional<WindowInfo> describe(xcb_window_t window, const std::vector<Monitor>& monitors) const;
    std::vector<xcb_window_t> stackingFrontToBack() const;
    // Pixels of `drawable` in device pixels; a null image when the server refuses.
    QImage image(xcb_drawable_t drawable, const QRect& pixels, std::uint8_t depth);
    QImage sharedImage(xcb_drawable_t drawable, const QRect& pixels, QImage::Format format);
    // A segment of at least `size` bytes that no image holds; nullptr when none can be made.
    std::shared_ptr<SharedSegment> freeSegment(std::size_t size);
    QImage plainImage(xcb_drawable_t drawable, const QRect& pixels, QImage::Format format) const;

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    QSize m_rootSize;
    Atoms m_atoms;
    bool m_hasShm = false;
    bool m_hasComposite = false;
    bool m_hasRandr = false;
    std::vector<std::shared_ptr<SharedSegment>> m_segments;
};

// The device pixel ratio and logical geometry Qt gives the monitor: the QScreen of the same
// name, else the one at the same place and size.
std::optional<std::pair<QRect, double>> qtScreenOf(const QString& name, const QRect& pixels)
{
    const QList<QScreen*> qtScreens = QGuiApplication::screens();
    for (QScreen* screen : qtScreens)
        if (screen->name() == name)
            return std::pair{screen->geometry(), screen->devicePixelRatio()};
    for (QScreen* screen : qtScreens) {
        const double ratio = screen->devicePixelRatio();
        const QRect geometry = screen->geometry();
        if (geometry.topLeft() == pixels.topLeft() && pixelLength(geometry.width(), ratio) == pixels.width() &&
            pixelLength(geometry.height(), ratio) == pixels.height())
            return std::pair{geometry, ratio};
    }
    return std::nullopt;
}

std::vector<Monitor> X11ScreenSource::monitors() const
{
    std::vector<Monitor> monitors;
    Reply<xcb_randr_get_monitors_reply_t> reply;
    if (m_hasRandr)
        reply.reset(
            xcb_randr_get_monitors_reply(m_connection, xcb_randr_get_monitors(m_connection, m_root, 1), nullptr));
    std::vector<std::pair<xcb_randr_monitor_info_t*, xcb_get_atom_name_cookie_t>> found;
    if (reply)
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
             xcb_randr_monitor_info_next(&it))
            found.emplace_back(it.data, xcb_get_atom_name(m_connection, it.data->name));
    for (const auto& [info, nameCookie] : found) {
        Reply<xcb_get_atom_name_reply_t> nameReply(xcb_get_atom_name_reply(m_connection, nameCookie, nullptr));
        const QString name = nameReply ? QString::fromUtf8(xcb_get_atom_name_name(nameReply.get()),
                                                           xcb_get_atom_name_name_length(nameReply.get()))
                                       : QString();
        const QRect pixels(info->x, info->y, info->width, info->height);
        const xcb_randr_output_t* outputs = xcb_randr_monitor_info_outputs(info);
        Monitor monitor{.info = {.id = info->nOutput > 0 ? outputs[0] : info->name,
                                 .name = name,
                                 .geometry = pixels,
                                 .devicePixelRatio = 1.0},
                        .pixels = pixels};
        if (const auto qt = qtScreenOf(name, pixels)) {
            monitor.info.geometry = qt->first;
            monitor.info.devicePixelRatio = qt->second;
        }
        // Qt shows the primary monitor first; keep RandR's primary flag as the order too.
        if (info->primary)
            monitors.insert(monitors.begin(), monitor);
        else
            monitors.push_back(monitor);
    }
    if (monitors.empty()) {
        const QRect pixels(QPoint(0, 0), m_rootSize);
        monitors.push_back(
            {.info = {.id = m_root, .name = QStringLiteral("screen"), .geometry = pixels}, .pixels = pixels});
    }
    return monitors;
}

std::vector<std::uint32_t> X11ScreenSource::cardinals(xcb_window_t window, xcb_atom_t atom, xcb_atom_t type) const
{
    Reply<xcb_get_property_reply_t> reply = property(window, atom, type);
    if (!reply || reply->format != 32 || reply->type != type)
        return {};
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

std::optional<Extents> X11ScreenSource::extents(xcb_window_t window, xcb_atom_t atom) const
{
    const std::vector<std::uint32_t> values = cardinals(window, atom, XCB_ATOM_CARDINAL);
    if (values.size() != 4)
        return std::nullopt;
    return Extents{int(values[0]), int(values[1]), int(values[2]), int(values[3])};
}

QString X11ScreenSource::title(xcb_window_t window) const
{
    if (Reply<xcb_get_property_reply_t> name = property(window, m_atoms.wmName, m_atoms.utf8String);
        name && name->type == m_atoms.utf8String && name->format == 8)
        return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(name.get())),
                                 xcb_get_property_value_length(name.get()));
    if (Reply<xcb_get_property_reply_t> name = property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        name && name->type == XCB_ATOM_STRING && name->format == 8)
        return QString::fromLatin1(static_cast<const char*>(xcb_get_property_value(name.get())),
                                   xcb_get_property_value_length(name.get()));
    return {};
}

QString X11ScreenSource::ownerName(xcb_window_t window, std::optional<std::int64_t> pid) const
{
    // WM_CLASS holds the instance and then the class, each ended by a zero byte.
    if (Reply<xcb_get_property_reply_t> names = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        names && names->type == XCB_ATOM_STRING && names->format == 8) {
        const QByteArray value(static_cast<const char*>(xcb_get_property_value(names.get())),
                               xcb_get_property_value_length(names.get()));
        const QList<QByteArray> parts = value.split('\0');
        if (parts.size() > 1 && !parts[1].isEmpty())
            return QString::fromLocal8Bit(parts[1]);
    }
    if (!pid)
        return {};
    QFile command(QStringLiteral("/proc/%1/comm").arg(*pid));
    if (!command.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(command.readAll().trimmed());
}

std::optional<QRect> X11ScreenSource::rootGeometry(xcb_window_t window) const
{
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, window, m_root, 0, 0), nullptr));
    if (!geometry || !origin)
        return std::nullopt;
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

std::optional<xcb_window_t> X11ScreenSource::topLevel(xcb_window_t window) const
{
    for (int depth = 0; depth < 64; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree)
            return std::nullopt;
        if (tree->parent == m_root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
    return std::nullopt;
}

// A rectangle of the root in device pixels as logical global pixels, through the monitor it
// lies on.
const Monitor* monitorOf(const QRect& pixels, const std::vector<Monitor>& monitors)
{
    const Monitor* best = nullptr;
    qint64 bestArea = -1;
    for (const Monitor& monitor : monitors) {
        const QRect common = monitor.pixels.intersected(pixels);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = &monitor;
            bestArea = area;
        }
    }
    return best;
}

QRect logicalRect(const QRect& pixels, const std::vector<Monitor>& monitors)
{
    const Monitor* best = monitorOf(pixels, monitors);
    if (!best || best->info.devicePixelRatio == 1.0)
        return best ? pixels.translated(best->info.geometry.topLeft() - best->pixels.topLeft()) : pixels;
    const double ratio = best->info.devicePixelRatio;
    const QPointF offset = QPointF(pixels.topLeft() - best->pixels.topLeft()) / ratio;
    return QRectF(QPointF(best->info.geometry.topLeft()) + offset, QSizeF(pixels.size()) / ratio).toAlignedRect();
}

std::optional<WindowInfo> X11ScreenSource::describe(xcb_window_t window, const std::vector<Monitor>& monitors) const
{
    std::optional<QRect> frame = rootGeometry(window);
    if (!frame)
        return std::nullopt;
    if (const std::optional<Extents> decoration = extents(window, m_atoms.frameExtents))
        frame = frame->adjusted(-decoration->left, -decoration->top, decoration->right, decoration->bottom);
    if (const std::optional<Extents> shadow = extents(window, m_atoms.gtkFrameExtents))
        frame = frame->adjusted(shadow->left, shadow->top, -shadow->right, -shadow->bottom);
    WindowInfo info;
    info.id = window;
    info.title = title(window);
    info.frame = logicalRect(*frame, monitors);
    if (const std::vector<std::uint32_t> pid = cardinals(window, m_atoms.wmPid, XCB_ATOM_CARDINAL); !pid.empty())
        info.pid = pid.front();
    info.ownerName = ownerName(window, info.pid);
    info.ours = info.pid == std::int64_t(getpid());
    return info;
}

std::vector<xcb_window_t> X11ScreenSource::stackingFrontToBack() const
{
    std::vector<xcb_window_t> windows;
    if (m_atoms.clientListStacking != XCB_ATOM_NONE)
        for (std::uint32_t window : cardinals(m_root, m_atoms.clientListStacking, XCB_ATOM_WINDOW))
            windows.push_back(window);
    if (windows.empty()) {
        // No window manager keeps a list: the root's children, bottom to top.
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            windows.assign(children, children + xcb_query_tree_children_length(tree.get()));
        }
    }
    std::reverse(windows.begin(), windows.end());
    return windows;
}

std::vector<WindowInfo> X11ScreenSource::windowsFrontToBack(const std::set<std::uint32_t>& excluded) const
{
    const std::vector<xcb_window_t> stacking = stackingFrontToBack();
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(stacking.size());
    for (xcb_window_t window : stacking)
        cookies.push_back(xcb_get_window_attributes(m_connection, window));
    const std::vector<Monitor> shown = monitors();
    std::vector<WindowInfo> windows;
    for (std::size_t i = 0; i < stacking.size(); ++i) {
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(m_connection, cookies[i], nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE ||
            attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT || attributes->override_redirect ||
            excluded.contains(stacking[i]))
            continue;
        const std::vector<std::uint32_t> states = cardinals(stacking[i], m_atoms.wmState, XCB_ATOM_ATOM);
        if (std::find(states.begin(), states.end(), m_atoms.wmStateHidden) != states.end())
            continue;
        const std::vector<std::uint32_t> types = cardinals(stacking[i], m_atoms.windowType, XCB_ATOM_ATOM);
        if (!types.empty() && std::none_of(types.begin(), types.end(), [&](std::uint32_t type) {
                return std::find(m_atoms.pickableTypes.begin(), m_atoms.pickableTypes.end(), type) !=
                       m_atoms.pickableTypes.end();
            }))
            continue;
        std::optional<WindowInfo> info = describe(stacking[i], shown);
        if (!info || info->ours || info->frame.width() < smallestWindowSide ||
            info->frame.height() < smallestWindowSide)
            continue;
        windows.push_back(std::move(*info));
    }
    return windows;
}

std::optional<WindowInfo> X11ScreenSource::activeWindow() const
{
    const std::vector<std::uint32_t> active = cardinals(m_root, m_atoms.activeWindow, XCB_ATOM_WINDOW);
    if (active.empty() || active.front() == XCB_WINDOW_NONE)
        return std::nullopt;
    return describe(active.front(), monitors());
}

void X11ScreenSource::activateWindow(std::uint32_t window)
{
    // The request a pager sends (source indication 2): window managers honour it even where
    // they keep applications from stealing the focus.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_atoms.activeWindow;
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = XCB_WINDOW_NONE;
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}

ScreenGrab X11ScreenSource::grab(const ScreenInfo& screen, const QRectF& points)
{
    const std::vector<Monitor> shown = monitors();
    const auto monitor = std::find_if(shown.begin(), shown.end(), [&](const Monitor& m) { return m.info == screen; });
    if (monitor == shown.end())
        return ScreenGrabError::displayNotFound();
    const QRect pixels =
        pixelRect(points, screen.devicePixelRatio).translated(monitor->pixels.topLeft()).intersected(monitor->pixels);
    if (pixels.isEmpty())
        return ScreenGrabError::grabFailed();
    QImage picture = image(m_root, pixels, xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root_depth);
    if (picture.isNull())
        return ScreenGrabError::grabFailed();
    picture.setDevicePixelRatio(screen.devicePixelRatio);
    return picture;
}

std::optional<QImage> X11ScreenSource::grabWindow(std::uint32_t window)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return std::nullopt;
    const std::optional<xcb_window_t> frame = topLevel(window);
    const std::optional<QRect> frameRect = frame ? rootGeometry(*frame) : std::nullopt;
    const std::optional<QRect> clientRect = rootGeometry(window);
    if (!frameRect || !clientRect)
        return std::nullopt;
    // The window's own pixels without client-side shadows, relative to the frame.
    QRect wanted(QPoint(0, 0), frameRect->size());
    if (const std::optional<Extents> shadow = extents(window, m_atoms.gtkFrameExtents))
        wanted = clientRect->translated(-frameRect->topLeft())
                     .adjusted(shadow->left, shadow->top, -shadow->right, -shadow->bottom)
                     .intersected(wanted);
    if (wanted.isEmpty())
        return std::nullopt;

    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, *frame), nullptr));
    QImage picture;
    if (m_hasComposite && geometry) {
        // Only a redirected window (under a compositing manager) has a pixmap to name.
        const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
        Reply<xcb_generic_error_t> error(
            xcb_request_check(m_connection, xcb_composite_name_window_pixmap_checked(m_connection, *frame, pixmap)));
        if (!error) {
            picture = image(pixmap, wanted, geometry->depth);
            xcb_free_pixmap(m_connection, pixmap);
        }
    }
    if (picture.isNull()) {
        // Without a compositing manager the window's covered parts are nowhere: what the
        // screen shows at its place is the best there is.
        const QRect onRoot = wanted.translated(frameRect->topLeft()).intersected(QRect(QPoint(0, 0), m_rootSize));
        if (onRoot.isEmpty())
            return std::nullopt;
        picture = image(m_root, onRoot, xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root_depth);
    }
    if (picture.isNull())
        return std::nullopt;
    const std::vector<Monitor> shown = monitors();
    const Monitor* best = monitorOf(*frameRect, shown);
    picture.setDevicePixelRatio(best ? best->info.devicePixelRatio : 1.0);
    return picture;
}

QImage X11ScreenSource::image(xcb_drawable_t drawable, const QRect& pixels, std::uint8_t depth)
{
    QImage::Format format = QImage::Format_Invalid;
    if (depth == 24)
        format = QImage::Format_RGB32;
    else if (depth == 32)
        format = QImage::Format_ARGB32_Premultiplied;
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    if (format == QImage::Format_Invalid || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return {};
    if (m_hasShm)
        if (QImage picture = sharedImage(drawable, pixels, format); !picture.isNull())
            return picture;
    return plainImage(drawable, pixels, format);
}

std::shared_ptr<SharedSegment> X11ScreenSource::freeSegment(std::size_t size)
{
    // Only the source holds a segment whose images are gone.
    std::size_t free = 0;
    std::erase_if(m_segments, [&](const std::shared_ptr<SharedSegment>& segment) {
        if (segment.use_count() > 1 || ++free <= keptFreeSegments)
            return false;
        xcb_shm_detach(m_connection, segment->id);
        return true;
    });
    for (const std::shared_ptr<SharedSegment>& segment : m_segments)
        if (segment.use_count() == 1 && segment->size >= size)
            return segment;

    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id < 0)
        return nullptr;
    auto segment = std::make_shared<SharedSegment>();
    segment->address = shmat(id, nullptr, 0);
    if (segment->address == reinterpret_cast<void*>(-1)) {
        segment->address = nullptr;
        shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
    segment->size = size;
    segment->id = xcb_generate_id(m_connection);
    Reply<xcb_generic_error_t> attachError(
        xcb_request_check(m_connection, xcb_shm_attach_checked(m_connection, segment->id, std::uint32_t(id), 0)));
    // Both sides map the segment now (or the server never will): it goes away with the
    // last detach.
    shmctl(id, IPC_RMID, nullptr);
    if (attachError) {
        // A server on another machine shares no memory with us.
        m_hasShm = false;
        return nullptr;
    }
    m_segments.push_back(segment);
    return segment;
}

QImage X11ScreenSource::sharedImage(xcb_drawable_t drawable, const QRect& pixels, QImage::Format format)
{
    const std::size_t bytesPerLine = std::size_t(pixels.width()) * 4;
    const std::size_t size = bytesPerLine * std::size_t(pixels.height());
    std::shared_ptr<SharedSegment> segment = freeSegment(size);
    if (!segment)
        return {};
    Reply<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(
        m_connection,
        xcb_shm_get_image(m_connection, drawable, std::int16_t(pixels.x()), std::int16_t(pixels.y()),
                          std::uint16_t(pixels.width()), std::uint16_t(pixels.height()), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
                          segment->id, 0),
        nullptr));
    if (!reply || reply->size < size)
        return {};
    void* address = segment->address;
    return QImage(static_cast<uchar*>(address), pixels.width(), pixels.height(), qsizetype(bytesPerLine), format,
                  releaseSegment, new std::shared_ptr<SharedSegment>(std::move(segment)));
}

QImage X11ScreenSource::plainImage(xcb_drawable_t drawable, const QRect& pixels, QImage::Format format) const
{
    Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, std::int16_t(pixels.x()),
                      std::int16_t(pixels.y()), std::uint16_t(pixels.width()), std::uint16_t(pixels.height()), ~0u),
        nullptr));
    const std::size_t bytesPerLine = std::size_t(pixels.width()) * 4;
    if (!reply || std::size_t(xcb_get_image_data_length(reply.get())) < bytesPerLine * std::size_t(pixels.height()))
        return {};
    QImage picture(pixels.size(), format);
    const std::uint8_t* data = xcb_get_image_data(reply.get());
    for (int y = 0; y < pixels.height(); ++y)
        std::memcpy(picture.scanLine(y), data + std::size_t(y) * bytesPerLine, bytesPerLine);
    return picture;
}

} // namespace

std::unique_ptr<ScreenSource> makeX11ScreenSource(bool sharedMemory)
{
    xcb_connection_t* connection = qtX11Connection();
    if (!connection)
        return nullptr;
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (screens.rem == 0)
        return nullptr;
    return std::make_unique<X11ScreenSource>(connection, screens.data, sharedMemory);
}

} // namespace vorlix
