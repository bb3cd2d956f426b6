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
    grille->addWidget(bouton_outil("SpeedButton_graphique", QStringLiteral("graphiques...")), 0, 2);
    auto* aide = new QHBoxLayout;
    aide->addWidget(bouton_outil("SpeedButton_help", QStringLiteral("help"),
                                 QStringLiteral("   fichier d'aide et manuel d'utilisation   ")));
    aide->addWidget(bouton_outil("SpeedButton_url", QString::fromUtf8("mise à jour")));
    aide->addWidget(bouton_outil("SpeedButton_test_son", QStringLiteral("test son")));
    grille->addLayout(aide, 0, 3);
    grille->addWidget(bouton_outil("SpeedButton_exit", QStringLiteral("exit")), 0, 4);

    grille->addWidget(etiquette("Label6"), 1, 0, 1, 3);
    reste_ = etiquette("Label10");
    colorer_legende(reste_, couleur_rouge);
    grille->addWidget(reste_, 1, 3, 1, 2);
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
    grille->addWidget(liste_lignes("ListBox_DONNEE_date_clean"), 5, 0, 1, 5);
    for (const char* nom : {"RichEdit3", "RichEdit4"}) {
        auto* texte = vue_texte(nom);
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
    auto* panneau = nomme<QFrame>("Panel4", this);
    panneau->setFixedSize(650, 200);
    panneau->setAutoFillBackground(true);
    QPalette p = panneau->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128));
    p.setColor(QPalette::WindowText, QColor(255, 255, 0));
    panneau->setPalette(p);
    auto* colonne = new QVBoxLayout(panneau);
    colonne->addWidget(new QLabel(
        QStringLiteral("5 mn, pour annuler la mise en veille du PC en appuyant sur une touche..."),
        panneau));
    colonne->addWidget(etiquette("Label49"));
    panneau->hide();
}

QWidget* PanneauExecution::panel4() const {
    return findChild<QFrame*>(QStringLiteral("Panel4"));
}

void PanneauExecution::rafraichir(const Session& session) {
    if (session.traitement_en_cours)
        legende_normale(stop_);
    else
        colorer_legende(stop_, couleur_grise);
    patienter_->setVisible(session.traitement_en_cours);
    // The charts read the step table: they wait for a finished run that filled one.
    findChild<QToolButton*>(QStringLiteral("SpeedButton_graphique"))
        ->setEnabled(!session.traitement_en_cours && session.etapes.N() > 0 &&
                     session.etapes.K() >= 2);

    const ResultatEnregistrement& e = session.dernier_enregistrement;
    reste_->setText(qt(e.Label10.empty() ? session.extraction.Label10 : e.Label10));
    if (!e.Label21.empty()) findChild<QLabel*>(QStringLiteral("Label21"))->setText(qt(e.Label21));
    findChild<QLabel*>(QStringLiteral("Label_nlig_impliquee"))
        ->setText(qt(session.extraction.Label_nlig_impliquee));
    findChild<QLabel*>(QStringLiteral("Label5"))->setText(qt(session.extraction.Label5));
    auto* texte = findChild<QPlainTextEdit*>(QStringLiteral("RichEdit3"));
    // A result file can be long: it is laid out again only when it changed.
    if (const QString nouveau = qt(e.RichEdit3); nouveau != texte->toPlainText())
        texte->setPlainText(nouveau);
    // "sans col DateTime" shows the values-only copy in the same place until the next run.
    auto* valeurs = findChild<QPlainTextEdit*>(QStringLiteral("RichEdit4"));
    if (const QString nouveau = qt(session.RichEdit4); nouveau != valeurs->toPlainText())
        valeurs->setPlainText(nouveau);
    valeurs->setVisible(!session.RichEdit4.empty());
    texte->setVisible(!e.RichEdit3.empty() && session.RichEdit4.empty());

    auto* liste = findChild<QListView*>(QStringLiteral("ListBox_DONNEE_date_clean"));
    static_cast<ModeleLignes*>(liste->model())->definir(&session.listes.ListBox_DONNEE_date_clean);

    panel4()->setVisible(session.Panel4_visible);
    findChild<QLabel*>(QStringLiteral("Label49"))->setText(qt(session.Label49));
}

}  // namespace tarvo
