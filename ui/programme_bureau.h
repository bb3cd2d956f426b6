// The desktop program's objects in the order they live: the machine's services, the session
// over them, then the window over the session, which is gone before any of them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/fenetre_principale.h"

namespace tarvo {

class ProgrammeBureau {
public:
    // `arguments`: the command line without the program name.
    ProgrammeBureau(std::string chemin_programme, std::string dossier_programme,
                    std::vector<std::string> arguments, ServicesFenetre services = {});
    ~ProgrammeBureau();

    FenetrePrincipale& fenetre() { return *fenetre_; }
    Session& session() { return *session_; }

private:
    std::unique_ptr<DialogueQt> dialogue_propre_;
    std::unique_ptr<Lanceur> lanceur_propre_;
    std::unique_ptr<PressePapier> presse_papier_propre_;
    std::unique_ptr<SortieAudio> audio_propre_;
    ServicesFenetre services_;
    std::unique_ptr<LanceurAverti> lanceur_averti_;
    std::unique_ptr<ProgressionQt> progression_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<FenetrePrincipale> fenetre_;
};

}  // namespace tarvo
