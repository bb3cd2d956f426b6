// The main window: composes one panel per zone, binds the description controls to the
// session through the key table, and turns each button into a session command.
#pragma once

#include <QMainWindow>

class QCheckBox;
class QGridLayout;
class QLabel;
class QScrollArea;
class QTimeEdit;
class QWheelEvent;

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/commandes.h"
#include "ui/commandes_exemplaire.h"
#include "ui/liaison_description.h"
#include "ui/textes_affiches.h"

namespace tarvo {

class Dialogue;
class DialogueQt;
class FenetreGraphique;
class FenetreSuivi;
class Lanceur;
class LanceurAverti;
class PanneauDescription;
class PanneauExecution;
class PanneauListage;
class PanneauPeriode;
class PanneauRepertoires;
class PanneauSortie;
class PanneauValeurs;
class PressePapier;
class ProgressionQt;
class Session;
class SortieAudio;
struct DemandeFichier;

// What the program asks of the machine; each one left unset gets the desktop's own.
struct ServicesFenetre {
    Dialogue* dialogue = nullptr;
    Lanceur* lanceur = nullptr;
    PressePapier* presse_papier = nullptr;
    SortieAudio* audio = nullptr;
    using ChoixFichier = std::function<std::optional<std::string>(const DemandeFichier&)>;
    ChoixFichier ouvrir_fichier;
    ChoixFichier enregistrer_fichier;
};

// What the window works with, all of it owned above the window and outliving it.
struct MoyensFenetre {
    Session& session;
    Dialogue& dialogue;
    // The same box maker as `dialogue` when the boxes are the desktop's, to be drawn over
    // the window; null otherwise.
    DialogueQt* dialogue_qt;
    LanceurAverti& lanceur;
    SortieAudio& audio;
    ProgressionQt& progression;
    ServicesFenetre::ChoixFichier ouvrir_fichier;
    ServicesFenetre::ChoixFichier enregistrer_fichier;
};

class FenetrePrincipale : public QMainWindow {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name.
    FenetrePrincipale(MoyensFenetre moyens, std::string chemin_programme,
                      std::string dossier_programme, std::vector<std::string> arguments);
    ~FenetrePrincipale() override;

    // The first activation: companion files, last or given description, tracking log.
    void demarrer();
    Session& session() { return session_; }
    // The tracking log gained a line outside any command.
    void rafraichir_suivi();
    // For the groups of commands connected outside this file.
    ContexteCommandes contexte_commandes();

protected:
    void keyPressEvent(QKeyEvent* evenement) override;
    void mousePressEvent(QMouseEvent* evenement) override;
    void leaveEvent(QEvent* evenement) override;
    void closeEvent(QCloseEvent* evenement) override;
    void resizeEvent(QResizeEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void construire();
    void resoudre_controles();
    void connecter();
    void connecter_bouton(const char* nom, std::function<void()> action);
    // Runs a session command between the screen and the session: the controls go to the
    // record before it, every view comes back from the session after it.
    void executer(const std::function<void()>& commande);
    void ecran_vers_session();
    void session_vers_ecran();
    void rafraichir();
    void apres_commande();
    void placer_suivi();
    // The stage buttons, stop and the progress texts, taken from their zones into one row
    // that never scrolls out of view.
    QWidget* barre_des_etapes(QWidget* contenu);
    void disposer_bas(bool sur_une_ligne);
    // A wheel turned over a list inside the page: the list scrolls when it has the focus and
    // room to go, the page otherwise. True when the page took it.
    bool faire_defiler_la_page(QObject* objet, QWheelEvent* evenement);
    void traiter();
    void creer_grille();
    void lister();
    void quitter();
    void ouvrir_resultat_dans_editeur();
    std::optional<std::string> choisir(const DemandeFichier& demande, bool enregistrer);

    MoyensFenetre moyens_;
    Session& session_;
    std::string chemin_programme_;
    std::string dossier_programme_;

    PanneauDescription* description_ = nullptr;
    PanneauValeurs* valeurs_ = nullptr;
    PanneauListage* listage_ = nullptr;
    PanneauSortie* sortie_ = nullptr;
    PanneauPeriode* periode_ = nullptr;
    PanneauExecution* execution_ = nullptr;
    FenetreSuivi* suivi_ = nullptr;
    PanneauRepertoires* repertoires_ = nullptr;
    FenetreGraphique* graphique_ = nullptr;
    bool occupe_ = false;
    bool quitte_ = false;
    bool grande_suivi_ = false;
    QScrollArea* defilement_ = nullptr;
    QWidget* zone3_ = nullptr;
    QWidget* zone4_ = nullptr;
    QWidget* zone5_ = nullptr;
    QGridLayout* bas_ = nullptr;
    bool bas_sur_une_ligne_ = true;
    TextesZone textes_;
    ControlesMode mode_;
    LiaisonDescription liaison_;
    std::vector<QWidget*> choisisseurs_couleur_;
    // The window's own controls that its commands and events use, found once when built.
    struct Controles {
        QLabel* durees = nullptr;  // the three stage stopwatches
        QLabel* patienter = nullptr;
        QLabel* reste = nullptr;  // the run's time and size left
        QLabel* date_programme = nullptr;
        QLabel* description_bd = nullptr;
        QLabel* pointeur_x = nullptr;
        QLabel* pointeur_y = nullptr;
        QCheckBox* arret_pc = nullptr;
        // The pickers each zero button sets back: start, end, step.
        std::array<QTimeEdit*, 3> heures_remises{};
        QWidget* table = nullptr;
        QWidget* creer_grille = nullptr;
        QWidget* traiter = nullptr;
        QWidget* graphique = nullptr;
        std::array<QWidget*, 6> pendant_le_traitement{};  // disabled during a run
    } c_;
};

}  // namespace tarvo
