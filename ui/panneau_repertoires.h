// `Panel_dir`: the directory chooser shown over the main window, with the recent list at
// its right, and `Panel_lecteur`, the drive change of the descriptions. The chooser's state
// and messages are the core's; this panel draws them and reports what the user does.
#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "session/choix_repertoire.h"

class QAbstractButton;
class QComboBox;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

namespace tarvo {

class PanneauRepertoires : public QWidget {
    Q_OBJECT
public:
    // `fenetre` is the main window: the panels are its children, drawn over its controls.
    PanneauRepertoires(Session& session, Dialogue& dialogue, Lanceur& lanceur,
                       std::string dossier_programme, QWidget* fenetre);

    // A click on one of the three directory buttons of the main window.
    void ouvrir(ChoixRepertoireDemande quel);
    // `SpeedButton_change_hd`.
    void ouvrir_changement_lecteur();

    const ChoixRepertoire& choix() const { return choix_; }
    // Escape while a chooser is open, wherever the focus is: the front one closes. False
    // when none was open.
    bool fermer_par_echap();

signals:
    // The session's directories or mask changed: the window shows them again.
    void repertoires_changes();
    // The new data directory holds files of the mask: the window runs stage 1.
    void lister_demande();

protected:
    // Escape closes the chooser it is pressed in, never the program.
    void keyPressEvent(QKeyEvent* evenement) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void construire();
    void construire_lecteur();
    // Draws every control from the core's state.
    void afficher();
    void montrer_repertoire(const std::string& repertoire);
    void repertoire_change(const QModelIndex& index);
    void aller_vers(const QString& chemin);
    // Until the user moves in the tree, the directory to keep in view as it fills.
    QString cible_;
    // The path typed in `Edit_dir_new`, when it differs from the list's: false when it
    // names no directory.
    bool suivre_saisie();
    void valider();
    void annuler();
    ChoixRepertoire choix_;
    QWidget* fenetre_;
    // Data, description, output: each directory's button and label in the window (none
    // without a window).
    struct ControlesRepertoire {
        QAbstractButton* bouton = nullptr;
        const QWidget* label = nullptr;
    };
    std::array<ControlesRepertoire, 3> controles_fenetre_{};
    const QWidget* change_hd_ = nullptr;
    QComboBox* lecteurs_ = nullptr;
    QFileSystemModel* modele_dossiers_ = nullptr;
    QFileSystemModel* modele_fichiers_ = nullptr;
    QTreeView* dossiers_ = nullptr;
    QListView* fichiers_ = nullptr;
    QLabel* dir_new_ = nullptr;
    QLineEdit* saisie_ = nullptr;
    QLabel* nb_fichiers_ = nullptr;
    QPushButton* valider_ = nullptr;
    QListWidget* recents_ = nullptr;
    QFrame* lecteur_ = nullptr;
    QLabel* label64_ = nullptr;
    QLineEdit* edit_lecteur_ = nullptr;
    QPlainTextEdit* memo8_ = nullptr;
    QListWidget* chemins_fichiers_ = nullptr;
};

}  // namespace tarvo
