#include "ui/commandes_table.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <utility>

#include "inventory/table_fichiers.h"
#include "session/edition_table.h"
#include "session/session.h"
#include "ui/commandes.h"
#include "ui/controles.h"
#include "ui/panneau_coche.h"
#include "ui/plateforme_qt.h"

namespace tarvo {

namespace {

// An event filter made of a function, owned by the object it watches.
class Filtre : public QObject {
public:
    Filtre(QObject* surveille, std::function<bool(QEvent*)> action)
        : QObject(surveille), action_(std::move(action)) {
        surveille->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        return action_(evenement) || QObject::eventFilter(objet, evenement);
    }

private:
    std::function<bool(QEvent*)> action_;
};

bool touche_entree(QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    const int touche = static_cast<QKeyEvent*>(e)->key();
    return touche == Qt::Key_Return || touche == Qt::Key_Enter;
}

class CommandesTable {
public:
    explicit CommandesTable(const ContexteCommandes& contexte)
        : c_(contexte),
          s_(*contexte.session),
          table_(contexte.fenetre->findChild<QTableView*>(QStringLiteral("StringGrid1"))),
          progression_(contexte.fenetre->findChild<QLabel*>(QStringLiteral("Label6")),
                       contexte.fenetre->findChild<QLabel*>(QStringLiteral("Label_patienter")),
                       [s = contexte.session] { return s->demande_stop; }) {}

    void connecter(const std::shared_ptr<CommandesTable>& soi);

private:
    // Runs through the window's command path, then puts the current cell back, or on
    // row 1 after a deletion, leaving the view scrolled where the user had it.
    void lancer(const std::function<SuiteEditionTable()>& commande) {
        const QModelIndex avant = table_->currentIndex();
        const int x = table_->horizontalScrollBar()->value(),
                  y = table_->verticalScrollBar()->value();
        SuiteEditionTable suite;
        c_.executer([&] { suite = commande(); });
        const QAbstractItemModel* m = table_->model();
        if (m->rowCount() == 0) return;
        if (suite.ligne1_courante)
            table_->setCurrentIndex(m->index(0, std::max(0, avant.column())));
        else if (avant.isValid() && avant.row() < m->rowCount())
            table_->setCurrentIndex(m->index(avant.row(), avant.column()));
        table_->horizontalScrollBar()->setValue(x);
        if (!suite.ligne1_courante) table_->verticalScrollBar()->setValue(y);
    }

    int ligne_courante() const { return std::max(0, table_->currentIndex().row()) + 1; }

    void effacer(Effacement quoi) {
        int premiere = ligne_courante(), derniere = premiere;
        if (quoi == Effacement::selection) {
            const QModelIndexList lignes = table_->selectionModel()->selectedRows();
            for (int k = 0; k < lignes.size(); ++k) {
                const int l = lignes[k].row() + 1;
                premiere = k == 0 ? l : std::min(premiere, l);
                derniere = k == 0 ? l : std::max(derniere, l);
            }
        }
        const auto* sans =
            c_.fenetre->findChild<QCheckBox*>(QStringLiteral("CheckBox_sans_confirmation"));
        const bool sans_confirmation = sans && sans->isChecked();
        lancer([=, this] {
            return effacer_lignes(s_, quoi, premiere, derniere, sans_confirmation, *c_.dialogue,
                                  progression_);
        });
    }

    void double_clic(int ligne, int colonne) {
        lancer(
            [=, this] { return double_clic_table(s_, ligne, colonne, *c_.dialogue, *c_.lanceur); });
    }

    // A right press on the "Station" or " x" column shows the panel, or hides it.
    bool clic_droit(QEvent* e, int ligne, int colonne) {
        if (e->type() != QEvent::MouseButtonPress ||
            static_cast<QMouseEvent*>(e)->button() != Qt::RightButton)
            return false;
        const bool colonne_station = colonne == static_cast<int>(Colonne::station);
        if (!colonne_station && colonne != colonne_marque) return false;
        if (coche_->isVisible()) {
            coche_->hide();
            return true;
        }
        if (s_.table.nb_fichiers() < 1) return true;
        station_ = station_de_ligne(s_, ligne);
        coche_->preparer(titre_panneau_coche(), legendes_choix_station(station_));
        QWidget* parent = coche_->parentWidget();
        int x = 88;
        if (!colonne_station)
            if (auto* sans =
                    c_.fenetre->findChild<QWidget*>(QStringLiteral("CheckBox_sans_confirmation")))
                x = sans->mapTo(parent, QPoint(0, 0)).x() - 40;
        coche_->move(std::clamp(x, 0, std::max(0, parent->width() - coche_->width())),
                     table_->mapTo(parent, QPoint(0, 0)).y());
        coche_->show();
        coche_->raise();
        return true;
    }

    void grand_tableau(bool grand) {
        if (grand) {
            const auto* nb_fic = c_.fenetre->findChild<QWidget*>(QStringLiteral("Label_nb_fic"));
            const int haut = nb_fic ? nb_fic->mapTo(c_.fenetre, QPoint(0, 0)).y() : 0;
            table_->setMinimumHeight(std::max(hauteur_dessin_, c_.fenetre->height() - haut - 65));
            table_->raise();
            // The zones below give way: the window scrolls so that the table's new bottom shows.
            if (auto* defilement =
                    c_.fenetre->findChild<QScrollArea*>(QStringLiteral("defilement"))) {
                const int bas =
                    table_->mapTo(defilement->widget(), QPoint(0, table_->minimumHeight())).y();
                QScrollBar* barre = defilement->verticalScrollBar();
                barre->setValue(
                    std::max(barre->value(), bas + 8 - defilement->viewport()->height()));
            }
            return;
        }
        table_->setMinimumHeight(hauteur_dessin_);
        if (auto* suivi = c_.fenetre->findChild<QWidget*>(QStringLiteral("Panel1"))) suivi->raise();
    }

    ContexteCommandes c_;
    Session& s_;
    QTableView* table_;
    ProgressionQt progression_;
    PanneauCoche* coche_ = nullptr;
    std::string station_;
    int hauteur_dessin_ = 0;
};

void CommandesTable::connecter(const std::shared_ptr<CommandesTable>& soi) {
    QWidget* f = c_.fenetre;
    const auto bouton = [&](const char* nom, std::function<void()> action) {
        connecter_clic(f, QLatin1String(nom), f, [soi, action = std::move(action)] { action(); });
    };
    bouton("SpeedButton_effacer_selection", [this] { effacer(Effacement::selection); });
    bouton("SpeedButton_effacer_vers_le_haut", [this] { effacer(Effacement::vers_le_haut); });
    bouton("SpeedButton_effacer_vers_le_bas", [this] { effacer(Effacement::vers_le_bas); });
    bouton("SpeedButton_effacer_ligne_hors_intervalle",
           [this] { effacer(Effacement::hors_periode); });
    bouton("SpeedButton6", [this] {
        lancer([this] {
            return reafficher_tableau_complet(s_, *c_.dialogue, progression_, *c_.lanceur);
        });
    });

    hauteur_dessin_ = table_->minimumHeight();
    auto* grand = exiger<QCheckBox>(f, QStringLiteral("CheckBox_grand_tableau"));
    QObject::connect(grand, &QCheckBox::toggled, grand,
                     [soi, this](bool coche) { grand_tableau(coche); });

    coche_ = new PanneauCoche(table_->parentWidget());
    QObject::connect(coche_, &PanneauCoche::choisi, coche_, [soi, this](int choix) {
        const std::string station = station_;
        lancer([&] { return choisir_station(s_, static_cast<ChoixStation>(choix), station); });
        coche_->hide();
    });

    new Filtre(table_, [soi, this](QEvent* e) {
        if (e->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(e)->key() != Qt::Key_Delete)
            return false;
        effacer(Effacement::selection);
        return true;
    });
    QHeaderView* titres = table_->horizontalHeader();
    QObject::connect(titres, &QHeaderView::sectionDoubleClicked, titres,
                     [soi, this](int colonne) { double_clic(0, colonne); });
    // The second press of a double click is the last mouse-down: its cell is the one acted on.
    new Filtre(table_->viewport(), [soi, this](QEvent* e) {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick)
            return false;
        const QModelIndex i = table_->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint());
        if (!i.isValid()) return false;
        if (e->type() == QEvent::MouseButtonPress) return clic_droit(e, i.row() + 1, i.column());
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            double_clic(i.row() + 1, i.column());
        return false;
    });
    new Filtre(titres->viewport(), [soi, this, titres](QEvent* e) {
        if (e->type() != QEvent::MouseButtonPress) return false;
        return clic_droit(
            e, 1, titres->logicalIndexAt(static_cast<QMouseEvent*>(e)->position().toPoint()));
    });

    static constexpr std::array<std::pair<const char*, SourceDate>, 7> sources{{
        {"Label_date_min", SourceDate::Label_date_min},
        {"Label_date_max", SourceDate::Label_date_max},
        {"Label_date_heure_min", SourceDate::Label_date_heure_min},
        {"Label_date_heure_max", SourceDate::Label_date_heure_max},
        {"Label_min_dsc", SourceDate::Label_min_dsc},
        {"Label_max_dsc", SourceDate::Label_max_dsc},
        {"Label_pas_dsc", SourceDate::Label_pas_dsc},
    }};
    for (const auto& entree : sources)
        if (auto* l = f->findChild<QLabel*>(QLatin1String(entree.first))) {
            const SourceDate source = entree.second;
            new Filtre(l, [soi, this, source](QEvent* e) {
                if (e->type() != QEvent::MouseButtonDblClick) return false;
                lancer([&] { return copier_date(s_, source, *c_.dialogue); });
                return true;
            });
        }

    // Enter in the fields whose change calls for a new listing; the key goes on to the field.
    for (const char* nom : {"Edit_masque", "Edit_f_station", "Edit_col_cochee"})
        if (auto* e = f->findChild<QLineEdit*>(QLatin1String(nom)))
            new Filtre(e, [soi, this](QEvent* ev) {
                if (!touche_entree(ev)) return false;
                bool relister = false;
                c_.executer([&] { relister = valider_masque(s_, *c_.dialogue); });
                if (relister) c_.lister();
                return false;
            });
    if (auto* e = f->findChild<QLineEdit*>(QStringLiteral("Edit_num_ligne_donnee")))
        new Filtre(e, [soi, this](QEvent* ev) {
            if (touche_entree(ev)) c_.executer([&] { valider_ligne_donnee(s_, *c_.dialogue); });
            return false;
        });
}

}  // namespace

void connecter_commandes_table(const ContexteCommandes& contexte) {
    auto* table = contexte.fenetre->findChild<QTableView*>(QStringLiteral("StringGrid1"));
    if (!table) return;
    // Shared by the connections and filters that use it, so it lives as long as they do.
    auto commandes = std::make_shared<CommandesTable>(contexte);
    commandes->connecter(commandes);
}

}  // namespace tarvo
