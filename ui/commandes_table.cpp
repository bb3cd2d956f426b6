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
          table_(exiger<QTableView>(contexte.fenetre, "StringGrid1")),
          sans_confirmation_(exiger<QCheckBox>(contexte.fenetre, "CheckBox_sans_confirmation")),
          nb_fic_(exiger<QWidget>(contexte.fenetre, "Label_nb_fic")),
          defilement_(exiger<QScrollArea>(contexte.fenetre, "defilement")),
          suivi_(exiger<QWidget>(contexte.fenetre, "Panel1")),
          progression_([s = contexte.session] { return s->demande_stop; }) {
        // Its own stopwatches, on the window's progress labels.
        progression_.afficher_dans(exiger<QLabel>(contexte.fenetre, "Label6"),
                                   exiger<QLabel>(contexte.fenetre, "Label_patienter"));
    }

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
        const bool sans_confirmation = sans_confirmation_->isChecked();
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
        if (!colonne_station) x = sans_confirmation_->mapTo(parent, QPoint(0, 0)).x() - 40;
        coche_->move(std::clamp(x, 0, std::max(0, parent->width() - coche_->width())),
                     table_->mapTo(parent, QPoint(0, 0)).y());
        coche_->show();
        coche_->raise();
        return true;
    }

    void grand_tableau(bool grand) {
        if (grand) {
            const int haut = nb_fic_->mapTo(c_.fenetre, QPoint(0, 0)).y();
            table_->setMinimumHeight(std::max(hauteur_dessin_, c_.fenetre->height() - haut - 65));
            table_->raise();
            // The zones below give way: the window scrolls so that the table's new bottom shows.
            const int bas =
                table_->mapTo(defilement_->widget(), QPoint(0, table_->minimumHeight())).y();
            QScrollBar* barre = defilement_->verticalScrollBar();
            barre->setValue(std::max(barre->value(), bas + 8 - defilement_->viewport()->height()));
            return;
        }
        table_->setMinimumHeight(hauteur_dessin_);
        suivi_->raise();
    }

    ContexteCommandes c_;
    Session& s_;
    QTableView* table_;
    QCheckBox* sans_confirmation_;
    QWidget* nb_fic_;
    QScrollArea* defilement_;
    QWidget* suivi_;
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
    for (const auto& entree : sources) {
        const SourceDate source = entree.second;
        new Filtre(exiger<QLabel>(f, entree.first), [soi, this, source](QEvent* e) {
            if (e->type() != QEvent::MouseButtonDblClick) return false;
            lancer([&] { return copier_date(s_, source, *c_.dialogue); });
            return true;
        });
    }

    // Enter in the fields whose change calls for a new listing; the key goes on to the field.
    for (const char* nom : {"Edit_masque", "Edit_f_station", "Edit_col_cochee"})
        new Filtre(exiger<QLineEdit>(f, nom), [soi, this](QEvent* ev) {
            if (!touche_entree(ev)) return false;
            bool relister = false;
            c_.executer([&] { relister = valider_masque(s_, *c_.dialogue); });
            if (relister) c_.lister();
            return false;
        });
    new Filtre(exiger<QLineEdit>(f, "Edit_num_ligne_donnee"), [soi, this](QEvent* ev) {
        if (touche_entree(ev)) c_.executer([&] { valider_ligne_donnee(s_, *c_.dialogue); });
        return false;
    });
}

}  // namespace

void connecter_commandes_table(const ContexteCommandes& contexte) {
    // Shared by the connections and filters that use it, so it lives as long as they do.
    auto commandes = std::make_shared<CommandesTable>(contexte);
    commandes->connecter(commandes);
}

}  // namespace tarvo
