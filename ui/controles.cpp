#include "ui/controles.h"

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "ui/modele_lignes.h"

namespace tarvo {

namespace {

QRadioButton* radio(const QString& groupe, int k, const QString& legende) {
    return nomme<QRadioButton>(QStringLiteral("RadioButton%1_%2").arg(k + 1).arg(groupe), legende);
}

// The typing of a whole date over a picker's selected text, kept apart from the picker
// until it is read.
class SaisieLibre : public QObject {
public:
    // The picker's own text field is there from its construction.
    explicit SaisieLibre(QDateTimeEdit* selecteur)
        : QObject(selecteur), s_(selecteur), ligne_(selecteur->findChild<QLineEdit*>()) {
        selecteur->installEventFilter(this);
        ligne()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* evenement) override {
        switch (evenement->type()) {
            case QEvent::KeyPress:
                return touche(static_cast<QKeyEvent*>(evenement));
            case QEvent::FocusOut:
            case QEvent::MouseButtonPress:
                terminer();
                return false;
            default:
                return false;
        }
    }

private:
    QLineEdit* ligne() const { return ligne_; }

    bool touche(QKeyEvent* e) {
        const QString t = e->text();
        const bool caractere =
            t.size() == 1 && (t[0].isDigit() || QStringLiteral("/:.- ").contains(t[0]));
        if (tampon_.isEmpty()) {
            // Typing into one section (the day, the hour…) stays the picker's own.
            if (!caractere || ligne()->selectedText() != ligne()->text()) return false;
        }
        if (caractere) {
            tampon_ += t;
        } else if (e->key() == Qt::Key_Backspace) {
            tampon_.chop(1);
        } else if (e->key() == Qt::Key_Escape) {
            tampon_.clear();
            reafficher();
            return true;
        } else {
            // Enter, Tab, an arrow: the text typed is read first, then the key acts.
            terminer();
            return false;
        }
        const QSignalBlocker bloque(ligne());
        ligne()->setText(tampon_);
        return true;
    }

    void terminer() {
        if (tampon_.isEmpty()) return;
        const QString texte = tampon_.trimmed();
        tampon_.clear();
        QString souple = s_->displayFormat();
        for (const char* double_ : {"dd", "MM", "HH", "mm", "ss"})
            souple.replace(QLatin1String(double_), QLatin1String(double_, 1));
        QDateTime lu = QDateTime::fromString(texte, s_->displayFormat());
        if (!lu.isValid()) lu = QDateTime::fromString(texte, souple);
        reafficher();
        if (!lu.isValid()) return;
        const auto sections = s_->displayedSections();
        const bool date = sections & QDateTimeEdit::DateSections_Mask;
        const bool heure = sections & QDateTimeEdit::TimeSections_Mask;
        if (date && heure)
            s_->setDateTime(lu);
        else if (date)
            s_->setDate(lu.date());
        else
            s_->setTime(lu.time());
    }

    // The picker draws its value again in place of the typed text.
    void reafficher() {
        const QSignalBlocker bloque(s_);
        const QDateTime v = s_->dateTime();
        s_->setDateTime(v.addDays(1));
        s_->setDateTime(v.addDays(-1));
        s_->setDateTime(v);
    }

    QDateTimeEdit* s_;
    QLineEdit* ligne_;
    QString tampon_;
};

}  // namespace

void permettre_saisie_libre(QDateTimeEdit* selecteur) {
    new SaisieLibre(selecteur);
}

QWidget* exiger_widget(const QObject* racine, QAnyStringView nom, const QMetaObject& type) {
    const QString texte = nom.toString();
    for (auto* w : racine->findChildren<QWidget*>(texte))
        if (w->metaObject()->inherits(&type)) return w;
    qFatal("contrôle introuvable : %s (%s)", qPrintable(texte), type.className());
}

void connecter_clic(const QObject* racine, QAnyStringView nom, const QObject* contexte,
                    std::function<void()> action) {
    QObject::connect(exiger<QAbstractButton>(racine, nom), &QAbstractButton::clicked, contexte,
                     [action = std::move(action)] { action(); });
}

QLabel* etiquette(const char* nom, const QString& texte, QWidget* compagnon) {
    auto* l = new QLabel(texte);
    if (nom) l->setObjectName(QLatin1String(nom));
    if (compagnon) l->setBuddy(compagnon);
    return l;
}

QLineEdit* saisie(const char* nom, RoleCouleur role, int largeur_max) {
    auto* e = nomme<QLineEdit>(nom);
    e->setMaximumWidth(largeur_max);
    donner_role(e, role);
    return e;
}

QLineEdit* saisie_fixe(const char* nom, RoleCouleur role, int largeur) {
    auto* e = saisie(nom, role);
    e->setFixedWidth(largeur);
    return e;
}

QPushButton* bouton(const char* nom, const QString& legende, std::optional<RoleCouleur> role) {
    auto* b = nomme<QPushButton>(nom, legende);
    b->setAutoDefault(false);
    if (role) donner_role(b, *role);
    return b;
}

QToolButton* bouton_outil(const char* nom, const QString& texte, const QString& bulle) {
    auto* b = nomme<QToolButton>(nom);
    b->setText(texte);
    b->setToolTip(bulle);
    return b;
}

QPlainTextEdit* vue_texte(const char* nom) {
    auto* t = nomme<QPlainTextEdit>(nom);
    t->setReadOnly(true);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    return t;
}

QListView* liste_lignes(const char* nom) {
    auto* l = nomme<QListView>(nom);
    l->setUniformItemSizes(true);
    l->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l->setModel(new ModeleLignes(l));
    donner_role(l, RoleCouleur::listes);
    return l;
}

QGroupBox* groupe_radio(const QString& groupe, const QString& titre, const QStringList& legendes,
                        const QList<QWidget*>& suite, int espacement) {
    auto* g = nomme<QGroupBox>(QStringLiteral("GroupBox_") + groupe);
    auto* l = new QHBoxLayout(g);
    l->setContentsMargins(3, 1, 3, 1);
    l->setSpacing(espacement);
    if (!titre.isEmpty()) l->addWidget(new QLabel(titre));
    for (int k = 0; k < legendes.size(); ++k) l->addWidget(radio(groupe, k, legendes[k]));
    for (QWidget* w : suite) l->addWidget(w);
    l->addStretch();
    return g;
}

QGroupBox* groupe_radio_colonnes(const QString& groupe, const QString& titre,
                                 const QStringList& legendes, int colonnes) {
    auto* g = nomme<QGroupBox>(QStringLiteral("GroupBox_") + groupe, titre);
    auto* l = new QGridLayout(g);
    l->setContentsMargins(4, 2, 4, 2);
    l->setVerticalSpacing(0);
    for (int k = 0; k < legendes.size(); ++k)
        l->addWidget(radio(groupe, k, legendes[k]), k / colonnes, k % colonnes);
    return g;
}

}  // namespace tarvo
