#include "blackscreen.h"

#include "colourui.h"
#include "night.h"
#include "repeatguard.h"
#include "windowlife.h"

#include <QApplication>
#include <QWidget>

BlackScreen::BlackScreen(Night &night, QWidget &over, QObject *parent)
    : QObject(parent), m_night(night), m_over(over)
{
}

BlackScreen::~BlackScreen()
{
    // Ending the program does not end a black-out: the board goes with it.
    if (m_cover)
        disconnect(m_cover, nullptr, &m_night, nullptr);
    WindowLife::destroy(m_cover);
}

void BlackScreen::render(QScreen *hall)
{
    if (!m_night.isBlackedOut()) {
        if (m_cover)
            m_cover->close();
        return;
    }
    if (m_cover)
        return;
    const QPointer<QWidget> back = QApplication::activeWindow();
    m_cover = new Cover(Colour::fromHex(0x000000), Cover::Keys::Own, &m_over);
    m_cover->setObjectName(QStringLiteral("BlackScreen"));
    RepeatGuard::instance().watch(m_cover);
    // Whatever key or click ends it does nothing else; a held key stays without effect.
    const auto end = [this, back] {
        m_night.endBlackOut();
        if (back) {
            back->raise();
            back->activateWindow();
        }
    };
    connect(m_cover, &Cover::keyPressed, this, [end](int key) {
        RepeatGuard::instance().acted(key);
        end();
    });
    connect(m_cover, &Cover::clicked, this, end);
    // However it goes, the night is no longer blacked out.
    connect(m_cover, &QObject::destroyed, &m_night, &Night::endBlackOut);
    m_cover->showOn(hall);
}
