#include "ui/AnnotationMenus.h"

#include "ui/Editors.h"
#include "ui/frmEditor.h"

namespace korvane {

namespace {

struct Item {
    const char* name;
    const char* caption;  // nullptr for a separator
    const char* insert;
};

// Move quality: numeric annotation glyphs of the PGN standard.
constexpr Item kAnno1[] = {
    {"mnuAnno1Good", "!", "$1"},
    {"mnuAnno1Bad", "?", "$2"},
    {"mnuAnno1Interesting", "!?", "$5"},
    {"mnuAnno1Dubious", "?!", "$6"},
    {"mnuAnno1Excel", "!!", "$3"},
    {"mnuAnno1VeryBad", "??", "$4"},
    {"mnuAnno1Zugzwang", "Zugzwang", "$22"},
    {"mnuAnno1OnlyMove", "Only move", "$8"},
};

// Position evaluations; the one-sided ones always take the code given for White.
constexpr Item kAnno2[] = {
    {"mnuAnno21", "+ -", "$18"},          {"mnuAnno22", "+/-", "$16"},
    {"mnuAnno23", "+=", "$14"},           {"mnuAnno24", "=", "$11"},
    {"mnuAnno25", "Unclear", "$13"},      {"mnuAnno26", "=+", "$15"},
    {"mnuAnno27", "- /+", "$17"},         {"mnuAnno28", "- +", "$19"},
    {"mnuAnno29", "Compensation", "$44"}, {"mnuAnno210", "Counterplay", "$132"},
    {"mnuAnno211", "Initiative", "$36"},  {"mnuAnno212", "Attack", "$40"},
    {"mnuAnno213", "Zeitnot", "$138"},    {"mnuAnno214", "Development Adv.", "$32"},
    {"mnuAnno215", "N", "$146"},
};

// Header tags: each item inserts a tag named as its caption.
constexpr Item kAnno3[] = {
    {"mnuAnno3WhiteElo", "WhiteElo", nullptr},
    {"mnuAnno3BlackElo", "BlackElo", nullptr},
    {"mnuAnno3WhiteTitle", "WhiteTitle", nullptr},
    {"mnuAnno3BlackTitle", "BlackTitle", nullptr},
    {"mnuAnno3WhiteCountry", "WhiteCountry", nullptr},
    {"mnuAnno3BlackCountry", "BlackCountry", nullptr},
    {"mnuAnno3Bar1", nullptr, nullptr},
    {"mnuAnno3Time", "Time", nullptr},
    {"mnuAnno3TimeControl", "TimeControl", nullptr},
    {"mnuAnno3Clock", "Clock", nullptr},
    {"mnuAnno3WhiteClock", "WhiteClock", nullptr},
    {"mnuAnno3BlackClock", "BlackClock", nullptr},
    {"mnuAnno3Bar2", nullptr, nullptr},
    {"mnuAnno3Annotator", "Annotator", nullptr},
    {"mnuAnno3AnnoTitle", "AnnoTitle", nullptr},
    {"mnuAnno3AnnoElo", "AnnoElo", nullptr},
    {"mnuAnno3Eco", "ECO", nullptr},
    {"mnuAnno3Opening", "Opening", nullptr},
};

}  // namespace

AnnotationMenus::AnnotationMenus(Editors& editors, QWidget* owner)
    : QObject(owner), m_editors(editors) {
    mnuAnno1 = makeMenu(owner, "mnuAnno1", "Anno1");
    mnuAnno2 = makeMenu(owner, "mnuAnno2", "Anno2");
    mnuAnno3 = makeMenu(owner, "mnuAnno3", "Anno3");
    for (const Item& item : kAnno1) {
        addItem(mnuAnno1, item.name, item.caption, item.insert, false);
    }
    for (const Item& item : kAnno2) {
        addItem(mnuAnno2, item.name, item.caption, item.insert, false);
    }
    for (const Item& item : kAnno3) {
        addItem(mnuAnno3, item.name, item.caption, item.caption, true);
    }
}

// The main window declares the menus (hidden in its menu bar); without one they are made here.
QMenu* AnnotationMenus::makeMenu(QWidget* owner, const char* name, const char* caption) {
    if (auto* declared = owner != nullptr ? owner->findChild<QMenu*>(name) : nullptr) {
        return declared;
    }
    auto* menu = new QMenu(caption, owner);
    menu->setObjectName(name);
    return menu;
}

void AnnotationMenus::addItem(QMenu* menu, const char* name, const QString& caption,
                              const QString& insert, bool tag) {
    QAction* action = caption.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
    action->setObjectName(name);
    if (caption.isEmpty()) {
        return;
    }
    // A "&" would be taken as a shortcut marker; none of the captions has one.
    connect(action, &QAction::triggered, this, [this, insert, tag] {
        frmEditor* editor = m_editors.current();
        if (editor == nullptr) {
            return;
        }
        if (tag) {
            editor->InsertTag(insert);
        } else {
            editor->InsertNag(insert);
        }
    });
}

void AnnotationMenus::popup(int menu, const QPoint& at) {
    QMenu* shown = menu == 1 ? mnuAnno1 : menu == 2 ? mnuAnno2 : mnuAnno3;
    shown->popup(at);
}

}  // namespace korvane
