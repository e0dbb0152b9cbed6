#include "platform/widgets/qt_control_enumeration.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace platform {
namespace {

QString TagOf(const QObject& object) {
    return object.property("tag").toString();
}

ControlInfo MenuItem(QAction* action) {
    return {u"Menu"_s, TagOf(*action), [action] { return action->text(); },
            [action](const QString& text) {
                action->setText(text);
            }};
}

// Buttons and labels: the caption is the widget's text.
template <typename Widget>
ControlInfo Captioned(const QString& kind, Widget* widget) {
    return {kind, TagOf(*widget), [widget] { return widget->text(); },
            [widget](const QString& text) {
                widget->setText(text);
            }};
}

// "QCheckBox" -> "CheckBox"; a class of our own keeps its name.
QString KindOf(const QObject& object) {
    const QString name = QString::fromLatin1(object.metaObject()->className());
    if (name.size() > 1 && name[0] == u'Q' && name[1].isUpper()) {
        return name.mid(1);
    }
    return name;
}

// Any other control: its "text" property is the caption, when it has a writable one.
ControlInfo Other(QObject* object) {
    ControlInfo info{KindOf(*object), TagOf(*object), [] { return QString(); }, {}};
    const QMetaObject& meta = *object->metaObject();
    const int index = meta.indexOfProperty("text");
    if (index < 0) {
        return info;
    }
    info.caption = [object] {
        return object->property("text").toString();
    };
    if (meta.property(index).isWritable()) {
        info.setCaption = [object](const QString& text) {
            object->setProperty("text", text);
        };
    }
    return info;
}

ControlInfo Describe(QObject* object) {
    if (auto* menu = qobject_cast<QMenu*>(object)) {
        return MenuItem(menu->menuAction());  // a menu's caption is its action's text
    }
    if (auto* action = qobject_cast<QAction*>(object)) {
        return MenuItem(action);
    }
    if (auto* option = qobject_cast<QRadioButton*>(object)) {
        return Captioned(u"OptionButton"_s, option);
    }
    if (auto* command = qobject_cast<QPushButton*>(object)) {
        return Captioned(u"CommandButton"_s, command);
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        return Captioned(u"Label"_s, label);
    }
    if (qobject_cast<QPlainTextEdit*>(object) || qobject_cast<QLineEdit*>(object) ||
        qobject_cast<QTextEdit*>(object)) {
        // What a text box holds is the user's text, never a caption.
        return {u"TextBox"_s, TagOf(*object), [] { return QString(); }, {}};
    }
    return Other(object);
}

}  // namespace

FormControls EnumerateControls(QWidget& form, const QList<QObject*>& controlOrder) {
    FormControls controls;
    controls.tag = TagOf(form);
    controls.setTitle = [widget = &form](const QString& text) {
        widget->setWindowTitle(text);
    };
    controls.controls.reserve(static_cast<std::size_t>(controlOrder.size()));
    for (QObject* object : controlOrder) {
        if (object) {  // a control deleted before the call has nothing to load
            controls.controls.push_back(Describe(object));
        }
    }
    return controls;
}

}  // namespace platform
