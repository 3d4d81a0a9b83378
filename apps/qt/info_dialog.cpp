#include "info_dialog.h"

#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/access_key.h"
#include "headline_widget.h"
#include "twips.h"

namespace velmaro::qt {
namespace {

QString FromCrLf(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void Place(QWidget& widget, const QWidget& frame, const TwipsRect& rect) {
    widget.setGeometry(ToPixels(frame, rect.left), ToPixels(frame, rect.top), ToPixels(frame, rect.width),
                       ToPixels(frame, rect.height));
}

}  // namespace

void InfoDialog::ShowModal(frmInfo& dialog, WindowHandle) {
    // A copy of the headline: the model's own one is part of a state that unloads under us.
    ucHeadline headline = dialog.State().ucHeadline1;
    headline.Move(kInfoHeadline.rect.left, kInfoHeadline.rect.top, kInfoHeadline.rect.width, kInfoHeadline.rect.height);
    QDialog window(&owner_,
                   Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setObjectName(QStringLiteral("frmInfo"));
    window.setFont(owner_.font());
    window.setFixedSize(ToPixels(owner_, kInfoClientWidth), ToPixels(owner_, kInfoClientHeight));
    window.setWindowTitle(QString::fromStdString(dialog.State().title));
    window.setWindowIcon(QIcon(QStringLiteral(":/images/info32.png")));

    HeadlineWidget headlineWidget(headline, &window);

    auto* text = new QPlainTextEdit(&window);
    text->setObjectName(QStringLiteral("txtInfo"));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setPlainText(FromCrLf(dialog.State().text));
    Place(*text, owner_, kInfoTxtInfo.rect);

    auto* nein = new QPushButton(QString::fromStdString(DisplayedCaption(dialog.State().neinCaption)), &window);
    nein->setObjectName(QStringLiteral("cmdNein"));
    Place(*nein, owner_, kInfoCmdNein.rect);
    auto* ja = new QPushButton(QString::fromStdString(DisplayedCaption(dialog.State().jaCaption)), &window);
    ja->setObjectName(QStringLiteral("cmdJa"));
    Place(*ja, owner_, kInfoCmdJa.rect);
    ja->setVisible(dialog.State().jaVisible);

    QWidget::setTabOrder(text, nein);
    QWidget::setTabOrder(nein, ja);
    nein->setDefault(true);

    QObject::connect(ja, &QPushButton::clicked, &window, [&dialog] { dialog.cmdJa_Click(); });
    QObject::connect(nein, &QPushButton::clicked, &window, [&dialog] { dialog.cmdNein_Click(); });
    dialog.OnUnload([&window] { window.done(QDialog::Accepted); });
    dialog.AttachWindow(static_cast<WindowHandle>(window.winId()));

    CenterOnScreen(window);
    window.exec();
    // The window's own close button and Escape end the loop without the model.
    if (dialog.IsLoaded()) {
        dialog.cmdNein_Click();
    }
    dialog.OnUnload({});
}

}  // namespace velmaro::qt
