#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class ClickableLabel;
class QMovie;
class ScaledLayout;
class QPushButton;
class QSizeGrip;
class QUrl;

// Names the program and its author, with the e-mail and web-site links. It has no
// title bar and is dragged by its background. A parentless window that deletes itself
// when closed.
class AboutBox : public QWidget
{
    Q_OBJECT
public:
    using LinkOpener = std::function<void(const QUrl &)>;
    // Where clicked links go; an empty opener restores the desktop's.
    static void setLinkOpener(LinkOpener opener);

    // The animated picture is read from Atom1.gif in programDir, by default the directory
    // of the executable.
    explicit AboutBox(const QString &programDir = QString());

    // Opens at s times the design: place, size and fonts.
    void setScale(double s);

    // Hands a link to the desktop; whether it could be opened is not reported.
    void openLink(const QString &url);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Above the design size the animation's frames are shown enlarged, one by one.
    void showScaledFrame();

    ClickableLabel *m_programName = nullptr;
    ClickableLabel *m_authorCaption = nullptr;
    ClickableLabel *m_author = nullptr;
    ClickableLabel *m_mailCaption = nullptr;
    ClickableLabel *m_mail = nullptr; // a link
    ClickableLabel *m_siteCaption = nullptr;
    ClickableLabel *m_site = nullptr; // a link
    ClickableLabel *m_picture = nullptr;
    QPushButton *m_okButton = nullptr;
    QMovie *m_movie = nullptr;
    ScaledLayout *m_layout = nullptr;
    // Stands in for a sizable border where the window system draws none without a title.
    QSizeGrip *m_sizeGrip = nullptr;
    QString m_mailUrl;
    QString m_siteUrl;
    // Cursor position in client twips when a button went down on the background.
    float m_grabX = 0;
    float m_grabY = 0;
    // A drag runs only from a press on the bare background until its release; moves the
    // controls pass on to the window never move it otherwise.
    bool m_dragging = false;
};
