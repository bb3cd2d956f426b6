#include "ui/programme_bureau.h"

#include "session/lanceur_averti.h"
#include "session/session.h"
#include "ui/lanceur_qt.h"
#include "ui/plateforme_qt.h"
#include "ui/sortie_audio_alsa.h"

namespace tarvo {

ProgrammeBureau::ProgrammeBureau(std::string chemin_programme, std::string dossier_programme,
                                 std::vector<std::string> arguments, ServicesFenetre services)
    : services_(std::move(services)) {
    const auto editeur = [this] {
        return session_ ? session_->description.Edit_name_prog_blocnote : std::string();
    };
    if (!services_.dialogue) {
        dialogue_propre_ = std::make_unique<DialogueQt>();
        services_.dialogue = dialogue_propre_.get();
    }
    if (!services_.lanceur) {
        lanceur_propre_ = std::make_unique<LanceurQt>(editeur);
        services_.lanceur = lanceur_propre_.get();
    }
    if (!services_.presse_papier) {
        presse_papier_propre_ = std::make_unique<PressePapierQt>();
        services_.presse_papier = presse_papier_propre_.get();
    }
    if (!services_.audio) {
        audio_propre_ = std::make_unique<SortieAudioAlsa>();
        services_.audio = audio_propre_.get();
    }
    lanceur_averti_ = std::make_unique<LanceurAverti>(*services_.lanceur, editeur,
                                                      [this](const std::string& ligne) {
                                                          session_->journal.ajouter_suivi(ligne);
                                                          if (fenetre_)
                                                              fenetre_->rafraichir_suivi();
                                                      });
    progression_ = std::make_unique<ProgressionQt>([this] { return session_->demande_stop; });
    session_ = std::make_unique<Session>(*services_.dialogue, *progression_, *lanceur_averti_,
                                         *services_.presse_papier, dossier_programme);
    fenetre_ = std::make_unique<FenetrePrincipale>(
        MoyensFenetre{*session_, *services_.dialogue, dialogue_propre_.get(), *lanceur_averti_,
                      *services_.audio, *progression_, services_.ouvrir_fichier,
                      services_.enregistrer_fichier},
        std::move(chemin_programme), std::move(dossier_programme), std::move(arguments));
}

ProgrammeBureau::~ProgrammeBureau() = default;

}  // namespace tarvo
