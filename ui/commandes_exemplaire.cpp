#include "ui/commandes_exemplaire.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QWidget>

#include "session/exemplaire.h"
#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"

namespace tarvo {

namespace {

std::vector<QWidget*> controles(const QWidget* fenetre, std::initializer_list<const char*> noms) {
    std::vector<QWidget*> w;
    for (const char* nom : noms) w.push_back(exiger<QWidget>(fenetre, nom));
    return w;
}

}  // namespace

ControlesMode::ControlesMode(const QWidget* fenetre)
    : classeur_(controles(fenetre, {"Label_nom_fic_excel", "Edit_num_feuille_excel", "Label61",
                                    "Label_nom_feuille"})),
      fichiers_(controles(fenetre, {"Label_nom_de_fichier", "Label15", "Label16", "Edit_f_station",
                                    "Edit_f_date_fichier", "SpeedButton_date_fic"})),
      sauf_presse_papier_(controles(fenetre, {"Label4", "Edit_masque", "Label54"})),
      presse_papier_(exiger<QWidget>(fenetre, "SpeedButton_presse_papier")),
      lister_(exiger<QWidget>(fenetre, "SpeedButton_lister")) {}

void ControlesMode::afficher(ModeEntree mode) const {
    for (QWidget* w : classeur_) w->setVisible(mode == ModeEntree::classeur);
    for (QWidget* w : fichiers_) w->setVisible(mode == ModeEntree::fichiers);
    for (QWidget* w : sauf_presse_papier_) w->setVisible(mode != ModeEntree::presse_papier);
    presse_papier_->setVisible(false);
    lister_->setToolTip(qt(bulle_bouton_lister(mode)));
}

void connecter_commandes_exemplaire(const ContexteCommandes& c) {
    auto* bouton =
        exiger<QAbstractButton>(c.fenetre, QStringLiteral("SpeedButton_choix_fic_donnee"));
    bouton->setEnabled(true);
    QObject::connect(bouton, &QAbstractButton::clicked, bouton, [c] {
        c.executer([&c] {
            Session& s = *c.session;
            exemplaire_fichier_donnees(s, *c.dialogue, *c.lanceur,
                                       c.choisir_fichier(demande_exemplaire(s), false));
        });
    });
    for (const char* nom : champs_controles) {
        auto* champ = exiger<QLineEdit>(c.fenetre, QLatin1String(nom));
        // Enter emits both signals: the check runs once, with what Enter adds.
        const auto quitter = [c, nom, champ](bool entree) {
            if (!entree && champ->property("entree_en_cours").toBool()) return;
            c.executer([&] { quitter_champ(*c.session, *c.dialogue, nom, entree); });
        };
        QObject::connect(champ, &QLineEdit::returnPressed, champ, [champ, quitter] {
            champ->setProperty("entree_en_cours", true);
            quitter(true);
        });
        QObject::connect(champ, &QLineEdit::editingFinished, champ, [champ, quitter] {
            quitter(false);
            champ->setProperty("entree_en_cours", false);
        });
    }
}

}  // namespace tarvo
