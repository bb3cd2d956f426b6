// Builds a control under its documented objectName, the name by which the description
// binding, the window and the tests find it.
#pragma once

#include <QAnyStringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>

#include "ui/couleurs.h"

class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace tarvo {

// The control `nom` under `racine`. A missing one is a programming error: the program stops
// at start, naming it, instead of a command that silently never runs.
QWidget* exiger_widget(const QObject* racine, QAnyStringView nom, const QMetaObject& type);
template <class W>
W* exiger(const QObject* racine, QAnyStringView nom) {
    return static_cast<W*>(exiger_widget(racine, nom, W::staticMetaObject));
}

// A click on button `nom` under `racine` runs `action` for as long as `contexte` lives.
void connecter_clic(const QObject* racine, QAnyStringView nom, const QObject* contexte,
                    std::function<void()> action);

template <class W, class... A>
W* nomme(QAnyStringView nom, A&&... arguments) {
    auto* w = new W(std::forward<A>(arguments)...);
    w->setObjectName(nom);
    return w;
}

// Lets a whole date or time be typed over the selected text of a picker ("20/06/2024",
// "5/7/2023 8:05:00"): the field's own editing goes section by section and garbles such
// typing. The text is read when Enter, Tab, a click or leaving the field ends it; a text
// that is no date leaves the value as it was.
void permettre_saisie_libre(QDateTimeEdit* selecteur);

// A date or time picker showing `format`. It reports a change once the typing is done
// (Enter, leaving it, an arrow, the calendar): a change per keystroke would redraw the
// field under the user's fingers and lose the day being typed.
template <class E>
E* selecteur(QAnyStringView nom, const QString& format, QWidget* parent = nullptr) {
    auto* e = nomme<E>(nom, parent);
    e->setDisplayFormat(format);
    e->setKeyboardTracking(false);
    permettre_saisie_libre(e);
    return e;
}

// `nom` may be null for a caption nothing reads; `compagnon` is the field the caption names,
// so that hiding the field can hide it too.
QLabel* etiquette(const char* nom, const QString& texte = {}, QWidget* compagnon = nullptr);

QLineEdit* saisie(const char* nom, RoleCouleur role, int largeur_max = QWIDGETSIZE_MAX);
// For fields laid out in a row whose place must not move with the window's width.
QLineEdit* saisie_fixe(const char* nom, RoleCouleur role, int largeur);

// Enter in a field never presses it.
QPushButton* bouton(const char* nom, const QString& legende,
                    std::optional<RoleCouleur> role = std::nullopt);
QToolButton* bouton_outil(const char* nom, const QString& texte, const QString& bulle = {});

// A file's lines as they stand, one per row.
QPlainTextEdit* vue_texte(const char* nom);

// Lines of the session in a list; the panel points its ModeleLignes at them when it refreshes.
QListView* liste_lignes(const char* nom);

// Exclusive choices the binding reads by index: "GroupBox_<groupe>" holds "RadioButton1_<groupe>",
// "RadioButton2_<groupe>"… in order. Here on one row after `titre`, which sits inside the
// frame since a title line would cost a row; `suite` follows the buttons.
QGroupBox* groupe_radio(const QString& groupe, const QString& titre, const QStringList& legendes,
                        const QList<QWidget*>& suite = {}, int espacement = 4);
// The same in `colonnes` columns under `titre` on the frame.
QGroupBox* groupe_radio_colonnes(const QString& groupe, const QString& titre,
                                 const QStringList& legendes, int colonnes);

}  // namespace tarvo
