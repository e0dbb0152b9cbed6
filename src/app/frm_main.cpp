#include "app/frm_main.h"

#include <QIcon>
#include <QMenuBar>
#include <algorithm>

#include "app/note_edit.h"
#include "app/option_button.h"
#include "platform/dialogs.h"
#include "platform/input_method.h"
#include "platform/services.h"
#include "platform/string_table.h"
#include "platform/twips.h"
#include "platform/widgets/design_font.h"

using namespace Qt::StringLiterals;
using frm_main_design::MenuItem;
using platform::PixelsToTwips;
using platform::TwipsToPixels;

namespace {

QRect ToPixels(const frm_main_design::Box& box) {
    return TwipsToPixels(box.left, box.top, box.width, box.height);
}

}  // namespace

frmMain::frmMain(const platform::Services& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    setObjectName(u"frmMain"_s);
    setWindowTitle(QString::fromUtf16(frm_main_design::kTitle));
    setProperty("tag", QString::fromUtf16(frm_main_design::kTag));
    QIcon icon;
    icon.addFile(u":/lexbin/icons/lexbin-32.png"_s, QSize(32, 32));
    icon.addFile(u":/lexbin/icons/lexbin-16.png"_s, QSize(16, 16));
    setWindowIcon(icon);
    setFont(platform::DesignFont(frm_main_design::kFontPointSize));

    createControls();
    createMenus();

    // Size the window so that its client area has the designed size.
    const QSize client(TwipsToPixels(frm_main_design::kClientWidth),
                       TwipsToPixels(frm_main_design::kClientHeight));
    resize(client.width(), client.height());
    resize(client.width(), client.height() + menuBarHeight());
}

void frmMain::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(u"client"_s);
    setCentralWidget(client);

    txtMain_ = new NoteEdit(client);
    txtMain_->setObjectName(u"txtMain"_s);
    txtMain_->setGeometry(ToPixels(textBoxBox_));
    connect(txtMain_, &NoteEdit::focusReceived, this, [this] {
        if (imeOn_) {
            services_.inputMethod.switchOn(*txtMain_);
        }
    });
    connect(txtMain_, &NoteEdit::tooLong, this, [this] {
        platform::MessageBoxRequest hint;
        hint.text = services_.strings.text(12002);
        hint.title = services_.strings.text(12001);
        hint.icon = platform::MessageIcon::Information;
        services_.dialogs.messageBox(hint);
    });

    for (std::size_t i = 0; i < optImportance_.size(); ++i) {
        const frm_main_design::OptionButton& design = frm_main_design::kOptionButtons[i];
        auto* button = new OptionButton(QString::fromUtf16(design.caption), client);
        button->setObjectName(u"optImportance_"_s + QString::number(i));
        button->setProperty("tag", QString::fromUtf16(design.tag));
        button->setGeometry(ToPixels(design.box));
        button->setChecked(static_cast<int>(i) == frm_main_design::kSelectedOption);
        optImportance_[i] = button;
    }

    setTabOrder(txtMain_, optImportance_[0]);
    setTabOrder(optImportance_[0], optImportance_[1]);
    setTabOrder(optImportance_[1], optImportance_[2]);
    txtMain_->setFocus();
}

void frmMain::createMenus() {
    QMenu* current = nullptr;
    for (const frm_main_design::MenuEntry& entry : frm_main_design::kMenus) {
        const QString name = QString::fromUtf16(entry.name);
        const QString caption = QString::fromUtf16(entry.caption);
        QAction* action = nullptr;
        if (entry.level == 1) {
            current = menuBar()->addMenu(caption);
            current->setObjectName(name);
            menus_.append(current);
            action = current->menuAction();
        } else {
            action = current->addAction(caption);
            if (entry.shortcut != 0) {
                action->setShortcut(QKeySequence(entry.shortcut));
            }
        }
        action->setObjectName(name);
        menuItems_[static_cast<std::size_t>(entry.item)] = action;
    }
    menuItem(MenuItem::mnuSetIMEMode)->setCheckable(true);  // unchecked at creation

    const struct {
        MenuItem item;
        void (frmMain::*click)();
    } handlers[] = {
        {MenuItem::mnuFileSave, &frmMain::mnuFileSave_Click},
        {MenuItem::mnuFileSaveexit, &frmMain::mnuFileSaveexit_Click},
        {MenuItem::mnuFileExit, &frmMain::mnuFileExit_Click},
        {MenuItem::mnuSetPath, &frmMain::mnuSetPath_Click},
        {MenuItem::mnuSetFont, &frmMain::mnuSetFont_Click},
        {MenuItem::mnuHelpAbout, &frmMain::mnuHelpAbout_Click},
    };
    for (const auto& [item, click] : handlers) {
        connect(menuItem(item), &QAction::triggered, this, click);
    }
}

// The order in which the window lists its controls: the option buttons from the last, the
// text box, then each menu followed by its items.
QList<QObject*> frmMain::controlOrder() const {
    QList<QObject*> order = {optImportance_[2], optImportance_[1], optImportance_[0], txtMain_};
    for (const frm_main_design::MenuEntry& entry : frm_main_design::kMenus) {
        QAction* action = menuItem(entry.item);
        order.append(entry.level == 1 ? static_cast<QObject*>(action->menu())
                                      : static_cast<QObject*>(action));
    }
    return order;
}

float frmMain::windowLeft() const {
    return PixelsToTwips(pos().x());
}
float frmMain::windowTop() const {
    return PixelsToTwips(pos().y());
}
float frmMain::windowWidth() const {
    return PixelsToTwips(width());
}
float frmMain::windowHeight() const {
    return PixelsToTwips(height());
}
// The client area is the window below its menu bar. Worked out here rather than read off the
// central widget, which the layout places only later (and not at all before the first show).
float frmMain::clientWidth() const {
    return PixelsToTwips(width());
}
float frmMain::clientHeight() const {
    return PixelsToTwips(std::max(0, height() - menuBarHeight()));
}

int frmMain::menuBarHeight() const {
    const QMenuBar* bar = menuBar();
    const int height = bar->heightForWidth(std::max(width(), bar->minimumWidth()));
    return height >= 0 ? height : bar->sizeHint().height();
}
bool frmMain::imeChoice() const {
    return menuItem(MenuItem::mnuSetIMEMode)->isChecked();
}
