#include "platform/widgets/FormStorage.h"

#include "platform/ErrorGuard.h"
#include "platform/SettingsStore.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMetaProperty>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <array>
#include <cmath>

using logosmith::SettingsStore;

namespace {

// The component's version; stored values of an older version are ignored.
constexpr int formVersion = 0;

std::optional<QSize> sizeOverride;
std::optional<int> dpiOverride;

bool isBlankOrControl(QChar c) {
    return c == QLatin1Char(' ') || c.category() == QChar::Other_Control;
}

QString trimBlanksAndControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlankOrControl(text[first]))
        ++first;
    while (last > first && isBlankOrControl(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

// A decimal number as stored text; anything else gives the fallback.
int numberOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

// Four comma-separated numbers; a missing or malformed one takes its fallback.
std::array<int, 4> fourNumbers(const QString& text, const std::array<int, 4>& fallback) {
    const QStringList parts = text.split(QLatin1Char(','));
    std::array<int, 4> out = fallback;
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        out[i] = numberOr(parts[i], fallback[i]);
    return out;
}

QString joinNumbers(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

QString suffix() {
    const QSize size = FormStorage::screenSize();
    return QString::asprintf("(%dx%d)", size.width(), size.height());
}

// The value stored for the current screen size, else the plain one; empty counts as missing.
QString readSuffixed(const SettingsStore& store, const QString& group, const QString& name) {
    QString text = store.readText(group, name + suffix(), QString());
    if (text.isEmpty())
        text = store.readText(group, name, QString());
    return text;
}

struct StoredProperty {
    QObject* component = nullptr;
    QMetaProperty property;
    QString valueName; // component + "_" + property
};

// Resolves "Component.Property" on the window; an entry naming no child or no usable property
// gives nothing.
std::optional<StoredProperty> resolve(QWidget* window, const QString& entry) {
    const qsizetype dot = entry.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == entry.size() - 1)
        return std::nullopt;
    const QString componentName = entry.left(dot);
    QString propertyName = entry.mid(dot + 1);
    QObject* component = window->findChild<QObject*>(componentName);
    if (!component)
        return std::nullopt;
    QString qtName = propertyName;
    qtName[0] = qtName[0].toLower();
    const QMetaObject* meta = component->metaObject();
    const int index = meta->indexOfProperty(qtName.toLatin1().constData());
    if (index < 0)
        return std::nullopt;
    const QMetaProperty property = meta->property(index);
    switch (property.typeId()) {
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::Int:
        break;
    default:
        return std::nullopt;
    }
    return StoredProperty{component, property, componentName + QLatin1Char('_') + propertyName};
}

QString propertyText(const StoredProperty& p) {
    const QVariant value = p.property.read(p.component);
    switch (p.property.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Int:
        return QString::number(value.toInt());
    default:
        return trimBlanksAndControls(value.toString());
    }
}

// Sets the property through its setter, so a check state change emits its signals exactly as a
// person's click does. Text that is no value of the property leaves it unchanged.
void setPropertyFromText(const StoredProperty& p, const QString& text) {
    switch (p.property.typeId()) {
    case QMetaType::Bool:
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            p.property.write(p.component, true);
        else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            p.property.write(p.component, false);
        break;
    case QMetaType::Int: {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (ok)
            p.property.write(p.component, value);
        break;
    }
    default:
        p.property.write(p.component, text);
        break;
    }
}

// The window's normal (not minimised or maximised) rectangle in screen coordinates: its client
// area, which is what the window system reports reliably. The frame's size is known only once
// the window manager has framed the window, and only as Qt last cached it; a place stored by
// the frame but restored before the frame is known moved the window by its frame on every run.
QRect normalRect(const QWidget* window) {
    if (!(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return window->geometry();
    const QRect normal = window->normalGeometry();
    return normal.isEmpty() ? window->geometry() : normal;
}

bool isFixedSize(const QWidget* window) {
    return window->minimumSize() == window->maximumSize();
}

} // namespace

FormStorage::FormStorage(QWidget* window, SettingsStore& store, QString iniSection,
                         QStringList storedProps, bool designCentred, QObject* parent)
    : QObject(parent ? parent : window), window_(window), section_(std::move(iniSection)),
      props_(std::move(storedProps)), designCentred_(designCentred), store_(store) {
    if (window)
        window->installEventFilter(this);
}

void FormStorage::setScreenOverride(std::optional<QSize> size, std::optional<int> pixelsPerInch) {
    sizeOverride = size;
    dpiOverride = pixelsPerInch;
}

QSize FormStorage::screenSize() {
    if (sizeOverride)
        return *sizeOverride;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

int FormStorage::pixelsPerInch() const {
    if (dpiOverride)
        return *dpiOverride;
    const QScreen* screen = window_ ? window_->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? int(std::lround(screen->logicalDotsPerInch())) : 96;
}

bool FormStorage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_ || !window_)
        return false;
    // A spontaneous show is the window system restoring a minimised window, not a new showing.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        apply();
        return false;
    }
    if (event->type() == QEvent::Close && !deliveringClose_) {
        // The window's own close handler decides first whether the close is allowed: deliver the
        // event to it now, then look at the answer. The values are written only for a window
        // that was on screen when the close was asked for.
        const bool wasOnScreen = window_->isVisible();
        deliveringClose_ = true;
        QPointer<QWidget> window = window_;
        QCoreApplication::sendEvent(window, event);
        deliveringClose_ = false;
        if (window && event->isAccepted() && wasOnScreen)
            write(false);
        return true;
    }
    return false;
}

void FormStorage::apply() {
    if (!window_)
        return;
    saved_ = false;
    positionApplied_ = false;
    bool current = true;
    logosmith::guarded([this, &current] {
        // Values of an older component version are not used.
        current = numberOr(store().readText(section_, "FormVersion", QString()), 0) >= formVersion;
        if (!current)
            return;
        // The show state is read first: Qt forgets a maximised state on any move, so the
        // window is placed while normal and given its state afterwards.
        const Qt::WindowStates state = storedShowState();
        applyPlacement();
        if (window_->windowState() != state)
            window_->setWindowState(state);
    });
    // The window was shown, so its values are worth writing even when applying failed.
    restored_ = true;
    if (current)
        logosmith::guarded([this] {
            applyProperties();
            applyActiveControl();
        });
    if (designCentred_ && !positionApplied_)
        centreOnScreen();
}

void FormStorage::applyPlacement() {
    QWidget* w = window_;
    const QString minMax = readSuffixed(store(), section_, "MinMaxPos");
    const QString norm = readSuffixed(store(), section_, "NormPos");
    const int currentPpi = pixelsPerInch();
    const int storedPpi =
        numberOr(store().readText(section_, "PixelsPerInch", QString()), currentPpi);
    if ((minMax.isEmpty() && norm.isEmpty()) || storedPpi != currentPpi)
        return;

    const QRect current = normalRect(w);
    const auto [left, top, right, bottom] =
        fourNumbers(norm, {current.left(), current.top(), current.left() + current.width(),
                           current.top() + current.height()});
    if (left >= right)
        return;

    QRect target = isFixedSize(w) ? QRect(QPoint(left, top), current.size())
                                  : QRect(left, top, right - left, bottom - top);
    // A place that lies on no screen any more (a smaller or missing monitor) would lose the
    // window: bring it back into the primary screen's free area.
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens())
        visible = visible || screen->availableGeometry().intersects(target);
    if (!visible) {
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            const QRect area = primary->availableGeometry();
            target.moveLeft(
                std::max(area.left(), std::min(target.left(), area.right() + 1 - target.width())));
            target.moveTop(
                std::max(area.top(), std::min(target.top(), area.bottom() + 1 - target.height())));
        }
    }

    const Qt::WindowStates state = w->windowState();
    if (state & (Qt::WindowMinimized | Qt::WindowMaximized))
        w->setWindowState(state & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    // The client area goes exactly to the stored place, whatever frame the window manager adds.
    w->setGeometry(target);
    positionApplied_ = true;
    // Placed once, a window designed centred keeps its place from now on.
    designCentred_ = false;
}

Qt::WindowStates FormStorage::storedShowState() const {
    const int showCmd = numberOr(store().readText(section_, "ShowCmd", QString()), 0);
    const Qt::WindowStates state = window_->windowState();
    const Qt::WindowStates plain = state & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (showCmd) {
    case 1:
    case 5:
    case 9:
        return plain;
    case 2:
    case 6:
    case 7:
        // For the main window this stands for the whole application minimised.
        return plain | Qt::WindowMinimized;
    case 3:
        return plain | Qt::WindowMaximized;
    default:
        return state;
    }
}

void FormStorage::applyProperties() {
    for (const QString& entry : props_) {
        const std::optional<StoredProperty> p = resolve(window_, entry);
        if (!p)
            continue;
        const std::optional<QString> text = store().readText(section_, p->valueName);
        if (!text)
            continue;
        setPropertyFromText(*p, trimBlanksAndControls(*text));
    }
}

void FormStorage::applyActiveControl() {
    const QString name = store().readText(section_, "ActiveControl", QString());
    if (name.isEmpty())
        return;
    QWidget* control = window_->findChild<QWidget*>(name);
    if (control && control->isEnabled() && control->isVisibleTo(window_) &&
        control->focusPolicy() != Qt::NoFocus)
        control->setFocus(Qt::OtherFocusReason);
}

void FormStorage::centreOnScreen() {
    const QScreen* screen = window_->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window_->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window_->move(frame.topLeft());
}

void FormStorage::write(bool duringDestruction) {
    if (!window_ || !restored_)
        return;
    logosmith::guarded([this, duringDestruction] {
        auto& store = this->store();
        QWidget* w = window_;
        store.writeText(section_, "FormVersion", QString::number(formVersion));
        // Qt reports no placement flags.
        store.writeText(section_, "Flags", QStringLiteral("0"));
        const Qt::WindowStates state = w->windowState();
        const int showCmd = state & Qt::WindowMinimized ? 2 : state & Qt::WindowMaximized ? 3 : 1;
        store.writeText(section_, "ShowCmd", QString::number(showCmd));
        store.writeText(section_, "PixelsPerInch", QString::number(pixelsPerInch()));
        // Qt has no minimised or maximised position of its own.
        const QString minMax = joinNumbers(-1, -1, -1, -1);
        store.writeText(section_, "MinMaxPos" + suffix(), minMax);
        store.writeText(section_, "MinMaxPos", minMax);
        const QRect normal = normalRect(w);
        const QString norm =
            joinNumbers(normal.left(), normal.top(), normal.left() + normal.width(),
                        normal.top() + normal.height());
        store.writeText(section_, "NormPos" + suffix(), norm);
        store.writeText(section_, "NormPos", norm);
        if (const QWidget* focused = w->focusWidget();
            focused && focused != w && !focused->objectName().isEmpty())
            store.writeText(section_, "ActiveControl", focused->objectName());
        store.writeText(section_, "Visible",
                        duringDestruction ? QStringLiteral("1") : QStringLiteral("0"));
        for (const QString& entry : props_)
            if (const std::optional<StoredProperty> p = resolve(w, entry))
                store.writeText(section_, p->valueName, propertyText(*p));
        store.sync();
        saved_ = true;
    });
}

void FormStorage::windowDestroying() {
    if (!saved_)
        write(true);
}
