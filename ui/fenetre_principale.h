// The main window: composes one panel per zone, binds the description controls to the
// session through the key table, and turns each button into a session command.
#pragma once

#include <QMainWindow>

class QGridLayout;

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/commandes.h"

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

// What the window asks of the machine; each one left unset gets the desktop's own.
struct ServicesFenetre {
    Dialogue* dialogue = nullptr;
    Lanceur* lanceur = nullptr;
    PressePapier* presse_papier = nullptr;
    SortieAudio* audio = nullptr;
    using ChoixFichier = std::function<std::optional<std::string>(const DemandeFichier&)>;
    ChoixFichier ouvrir_fichier;
    ChoixFichier enregistrer_fichier;
};

class FenetrePrincipale : public QMainWindow {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name.
    FenetrePrincipale(std::string chemin_programme, std::string dossier_programme,
                      std::vector<std::string> arguments, ServicesFenetre services = {});
    ~FenetrePrincipale() override;

    // The first activation: companion files, last or given description, tracking log.
    void demarrer();
    Session& session() { return *session_; }
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
    void traiter();
    void creer_grille();
    void lister();
    void quitter();
    void ouvrir_resultat_dans_editeur();
    std::optional<std::string> choisir(const DemandeFichier& demande, bool enregistrer);

    std::string chemin_programme_;
    std::string dossier_programme_;
    std::vector<std::string> arguments_;
    ServicesFenetre services_;
    std::unique_ptr<DialogueQt> dialogue_propre_;
    std::unique_ptr<Lanceur> lanceur_propre_;
    std::unique_ptr<PressePapier> presse_papier_propre_;
    std::unique_ptr<SortieAudio> audio_propre_;
    std::unique_ptr<LanceurAverti> lanceur_averti_;
    std::unique_ptr<ProgressionQt> progression_;
    std::unique_ptr<Session> session_;

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
    QWidget* zone3_ = nullptr;
    QWidget* zone4_ = nullptr;
    QWidget* zone5_ = nullptr;
    QGridLayout* bas_ = nullptr;
    bool bas_sur_une_ligne_ = true;
};

}  // namespace tarvo
