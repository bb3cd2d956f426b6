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

void montrer(QWidget* fenetre, std::initializer_list<const char*> noms, bool visible) {
    for (const char* nom : noms)
        if (auto* w = fenetre->findChild<QWidget*>(QLatin1String(nom))) w->setVisible(visible);
}

}  // namespace

void afficher_mode(QWidget* fenetre, ModeEntree mode) {
    montrer(fenetre,
            {"Label_nom_fic_excel", "Edit_num_feuille_excel", "Label61", "Label_nom_feuille"},
            mode == ModeEntree::classeur);
    montrer(fenetre,
            {"Label_nom_de_fichier", "Label40", "Label15", "Label16", "Edit_f_station",
             "Edit_f_date_fichier", "SpeedButton_date_fic"},
            mode == ModeEntree::fichiers);
    montrer(fenetre, {"Label4", "Edit_masque", "Label54"}, mode != ModeEntree::presse_papier);
    montrer(fenetre, {"SpeedButton_presse_papier"}, false);
    if (auto* lister = fenetre->findChild<QWidget*>(QStringLiteral("SpeedButton_lister")))
        lister->setToolTip(qt(bulle_bouton_lister(mode)));
}

void connecter_commandes_exemplaire(const ContexteCommandes& c) {
    afficher_mode(c.fenetre, c.session->source.mode);
    auto* bouton =
        exiger<QAbstractButton>(c.fenetre, QStringLiteral("SpeedButton_choix_fic_donnee"));
    bouton->setEnabled(true);
    QObject::connect(bouton, &QAbstractButton::clicked, bouton, [c] {
        c.executer([&c] {
            Session& s = *c.session;
            exemplaire_fichier_donnees(s, *c.dialogue, *c.lanceur,
                                       c.choisir_fichier(demande_exemplaire(s), false));
        });
        afficher_mode(c.fenetre, c.session->source.mode);
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
