#include "ui/listes_motifs.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <array>

#include "formats/codes_nom_fichier.h"
#include "formats/motifs_date.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"

namespace tarvo {

namespace {

struct ListeMotifs {
    const char* bouton;
    const char* liste;
    const char* champ;
    const std::vector<std::string>& (*items)();
    bool avant_parenthese;  // the item may carry a remark in parentheses
};

const std::array<ListeMotifs, 4> listes = {{
    {"SpeedButton_date_heure", "ListBox_date_heure", "Edit_format_datetime_mesure",
     &motifs_date_heure_proposes, true},
    {"SpeedButton_date", "ListBox_date", "Edit_format_date_mesure_seule", &motifs_date_proposes,
     true},
    {"SpeedButton_heure", "ListBox_heure", "Edit_format_time_mesure_seul", &motifs_heure_proposes,
     false},
    {"SpeedButton_date_fic", "ListBox_date_fic", "Edit_f_date_fichier",
     &codes_date_fichier_proposes, false},
}};

using ListesOuvertes = std::array<QListWidget*, listes.size()>;

void fermer_listes(const ListesOuvertes& ouvertes) {
    for (QListWidget* w : ouvertes) w->hide();
}

// A press in a pattern field, or the focus reaching it, puts the lists away.
class FermetureListes : public QObject {
public:
    FermetureListes(const ListesOuvertes& listes, QObject* parent)
        : QObject(parent), listes_(listes) {}

protected:
    bool eventFilter(QObject* objet, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::FocusIn)
            fermer_listes(listes_);
        return QObject::eventFilter(objet, e);
    }

private:
    ListesOuvertes listes_;
};

QString item_choisi(const ListeMotifs& l, const QString& item) {
    return l.avant_parenthese ? item.section(QLatin1Char('('), 0, 0).trimmed() : item;
}

void ouvrir_ou_fermer(QWidget* fenetre, const ListesOuvertes& toutes, QAbstractButton* bouton,
                      QListWidget* liste, const QLineEdit* champ) {
    if (liste->isVisible()) {
        liste->hide();
        return;
    }
    fermer_listes(toutes);
    const auto trouves = liste->findItems(champ->text(), Qt::MatchExactly);
    liste->setCurrentItem(trouves.isEmpty() ? nullptr : trouves.front());
    liste->resize(qMax(liste->sizeHintForColumn(0) + 30, 120),
                  qMin(liste->count(), 12) * liste->sizeHintForRow(0) + 6);
    QPoint coin = bouton->mapTo(fenetre, QPoint(0, bouton->height()));
    coin.setX(qMax(0, qMin(coin.x(), fenetre->width() - liste->width())));
    liste->move(coin);
    liste->show();
    liste->raise();
}

}  // namespace

void connecter_listes_motifs(const ContexteCommandes& c) {
    QWidget* fenetre = c.fenetre;
    ListesOuvertes ouvertes{};
    for (std::size_t i = 0; i < listes.size(); ++i) {
        ouvertes[i] = new QListWidget(fenetre);
        ouvertes[i]->setObjectName(QLatin1String(listes[i].liste));
        ouvertes[i]->hide();
    }
    auto* fermeture = new FermetureListes(ouvertes, fenetre);
    for (std::size_t i = 0; i < listes.size(); ++i) {
        const ListeMotifs& l = listes[i];
        auto* bouton = exiger<QAbstractButton>(fenetre, QLatin1String(l.bouton));
        auto* champ = exiger<QLineEdit>(fenetre, QLatin1String(l.champ));
        champ->installEventFilter(fermeture);
        QListWidget* liste = ouvertes[i];
        for (const std::string& item : l.items()) liste->addItem(qt(item));
        QObject::connect(bouton, &QAbstractButton::clicked, liste,
                         [fenetre, ouvertes, bouton, liste, champ] {
                             ouvrir_ou_fermer(fenetre, ouvertes, bouton, liste, champ);
                         });
        QObject::connect(liste, &QListWidget::itemDoubleClicked, champ,
                         [&l, liste, champ](QListWidgetItem* item) {
                             champ->setText(item_choisi(l, item->text()));
                             liste->hide();
                             // As typed: the window's binding stores it and marks the change.
                             emit champ->textEdited(champ->text());
                         });
    }
}

}  // namespace tarvo
