// Zone 5 of the main window: the run and stop commands, the progress texts, the result
// list and the result file's views.
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "session/session.h"
#include "ui/controles.h"
#include "ui/conversions_qt.h"
#include "ui/couleurs.h"
#include "ui/modele_lignes.h"
#include "ui/panneaux.h"

namespace tarvo {

namespace {

// The stop button's caption when no run is under way.
const QColor couleur_grise(128, 128, 128);

}  // namespace

PanneauExecution::PanneauExecution(QWidget* parent) : QWidget(parent) {
    auto* grille = new QGridLayout(this);
    grille->setContentsMargins(2, 2, 2, 2);

    auto* traiter =
        bouton_outil("SpeedButton_traiter_fichier", QStringLiteral("3-    traiter ...  =>"));
    colorer_legende(traiter, couleur_bleue);
    grille->addWidget(traiter, 0, 0);
    stop_ = bouton_outil("SpeedButton_stop", QStringLiteral("stop"));
    colorer_legende(stop_, couleur_grise);
    grille->addWidget(stop_, 0, 1);
    graphique_ = bouton_outil("SpeedButton_graphique", QStringLiteral("graphiques..."));
    grille->addWidget(graphique_, 0, 2);
    auto* aide = new QHBoxLayout;
    aide->addWidget(bouton_outil("SpeedButton_help", QStringLiteral("help"),
                                 QStringLiteral("   fichier d'aide et manuel d'utilisation   ")));
    aide->addWidget(bouton_outil("SpeedButton_url", QString::fromUtf8("mise à jour")));
    aide->addWidget(bouton_outil("SpeedButton_test_son", QStringLiteral("test son")));
    grille->addLayout(aide, 0, 3);
    grille->addWidget(bouton_outil("SpeedButton_exit", QStringLiteral("exit")), 0, 4);

    grille->addWidget(etiquette("Label6"), 1, 0, 1, 3);
    auto* reste = etiquette("Label10");
    colorer_legende(reste, couleur_rouge);
    grille->addWidget(reste, 1, 3, 1, 2);
    patienter_ = etiquette("Label_patienter");
    patienter_->hide();
    grille->addWidget(patienter_, 2, 0, 1, 5);
    grille->addWidget(etiquette("Label_nlig_impliquee"), 3, 0, 1, 3);
    grille->addWidget(etiquette("Label5"), 3, 3, 1, 2);
    // Where the pointer left the window, in screen coordinates.
    auto* position = new QHBoxLayout;
    position->addWidget(etiquette("Label_x"));
    position->addWidget(etiquette("Label_y"));
    position->addStretch();
    grille->addLayout(position, 9, 0, 1, 5);

    auto* ligne = new QHBoxLayout;
    ligne->addWidget(
        bouton_outil("SpeedButton_enregistrer", QStringLiteral("sauver ->"),
                     QStringLiteral("sauver les données extraites stoppées en cours ")));
    ligne->addWidget(
        bouton_outil("SpeedButton_sans_coldate", QStringLiteral("sans col DateTime"),
                     QStringLiteral("  juste les colonnes de valeurs dans le presse-papier   ")));
    ligne->addWidget(etiquette("Label21", QStringLiteral("*.txt")));
    ligne->addWidget(
        bouton_outil("SpeedButton_edit", QStringLiteral("éditer =>"),
                     QStringLiteral(" visualiser le fichier de données dans notepad  ")));
    ligne->addWidget(
        bouton_outil("SpeedButton_suivi", QStringLiteral("fichier de suivi"),
                     QStringLiteral(" visualiser le fichier de suivi dans notepad  ")));
    ligne->addWidget(bouton_outil("SpeedButton_rep_export", QStringLiteral("..."),
                                  QStringLiteral(" contenue du répertoire de sortie ")));
    grille->addLayout(ligne, 4, 0, 1, 5);
    // Outside the tracking window, so that it can show that window again once hidden.
    auto* suivi = bouton_outil("Panel_button_suivi", QStringLiteral("fenêtre de suivi"),
                               QStringLiteral("bascule  Visible / Cachée "));
    donner_role(suivi, RoleCouleur::boutons);
    grille->addWidget(suivi, 6, 3, 1, 2);

    // The result list and, over it once a file is written, that file's text.
    resultats_ = liste_lignes("ListBox_DONNEE_date_clean");
    grille->addWidget(resultats_, 5, 0, 1, 5);
    texte_resultat_ = vue_texte("RichEdit3");
    texte_sans_coldate_ = vue_texte("RichEdit4");
    for (auto* texte : {texte_resultat_, texte_sans_coldate_}) {
        texte->hide();
        grille->addWidget(texte, 5, 0, 1, 5);
    }

    auto* arret = nomme<QCheckBox>("CheckBox_arret_PC",
                                   QStringLiteral("éteindre le PC à la fin du traitement "), this);
    arret->setToolTip(QStringLiteral("avec 5 minutes pour changer d'avis"));
    grille->addWidget(arret, 6, 0, 1, 3);
    grille->addWidget(
        nomme<QCheckBox>("CheckBox_aide_flottante", QStringLiteral("aide flottante"), this), 7, 0,
        1, 3);
    // The help of the control under the pointer; the help module gives it its look.
    grille->addWidget(vue_texte("Memo2"), 8, 0, 1, 5);

    // Kept out of the layout: the window places it over the file table.
    compte_a_rebours_ = nomme<QFrame>("Panel4", this);
    compte_a_rebours_->setFixedSize(650, 200);
    compte_a_rebours_->setAutoFillBackground(true);
    QPalette p = compte_a_rebours_->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128));
    p.setColor(QPalette::WindowText, QColor(255, 255, 0));
    compte_a_rebours_->setPalette(p);
    auto* colonne = new QVBoxLayout(compte_a_rebours_);
    colonne->addWidget(new QLabel(
        QStringLiteral("5 mn, pour annuler la mise en veille du PC en appuyant sur une touche..."),
        compte_a_rebours_));
    colonne->addWidget(etiquette("Label49"));
    compte_a_rebours_->hide();
    textes_ = TextesZone(this, ZoneTexte::execution);
}

QWidget* PanneauExecution::compte_a_rebours() const {
    return compte_a_rebours_;
}

void PanneauExecution::rafraichir(const Session& session) {
    if (session.traitement_en_cours || traitement_lance_)
        legende_normale(stop_);
    else
        colorer_legende(stop_, couleur_grise);
    patienter_->setVisible(session.traitement_en_cours);
    // The charts read the step table: they wait for a finished run that filled one.
    graphique_->setEnabled(!session.traitement_en_cours && session.etapes.N() > 0 &&
                           session.etapes.K() >= 2);

    const ResultatEnregistrement& e = session.dernier_enregistrement;
    textes_.rafraichir(session);
    // A result file can be long: it is laid out again only when it changed.
    if (const QString nouveau = qt(e.texte_resultat); nouveau != texte_resultat_->toPlainText())
        texte_resultat_->setPlainText(nouveau);
    // "sans col DateTime" shows the values-only copy in the same place until the next run.
    if (const QString nouveau = qt(session.texte_sans_coldate);
        nouveau != texte_sans_coldate_->toPlainText())
        texte_sans_coldate_->setPlainText(nouveau);
    texte_sans_coldate_->setVisible(!session.texte_sans_coldate.empty());
    texte_resultat_->setVisible(!e.texte_resultat.empty() && session.texte_sans_coldate.empty());

    static_cast<ModeleLignes*>(resultats_->model())
        ->definir(&session.listes.ListBox_DONNEE_date_clean);

    compte_a_rebours_->setVisible(session.arret_pc.compte_a_rebours_visible);
}

}  // namespace tarvo
