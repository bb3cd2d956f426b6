#include "session/manuel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "description/fichiers_programme.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"

namespace tarvo {

namespace {

std::string avec_separateur(std::string_view dossier) {
    std::string d(dossier);
    if (!d.empty() && d.back() != '/') d += '/';
    return d;
}

// The directory that holds `dossier`, with its final "/"; empty for a root or a bare name.
std::string parent(std::string_view dossier) {
    std::string d(dossier);
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    const auto barre = d.rfind('/');
    if (barre == std::string::npos || d.size() <= 1) return {};
    return d.substr(0, barre + 1);
}

bool fichier_existe(const std::string& chemin) {
    std::error_code erreur;
    return std::filesystem::is_regular_file(chemin_natif(chemin), erreur);
}

}  // namespace

std::vector<std::string> chemins_manuel(std::string_view dossier_programme,
                                        std::string_view dossier_executable, std::string_view nom) {
    std::vector<std::string> chemins;
    const auto ajouter = [&](const std::string& dossier) {
        if (dossier.empty()) return;
        std::string chemin = dossier + std::string(nom);
        if (std::find(chemins.begin(), chemins.end(), chemin) == chemins.end())
            chemins.push_back(std::move(chemin));
    };
    ajouter(avec_separateur(dossier_programme));
    ajouter(avec_separateur(dossier_executable));
    // An installed program lives in <prefix>/bin and its manual in <prefix>/share/doc/tarvo.
    if (const std::string prefixe = parent(dossier_executable); !prefixe.empty())
        ajouter(prefixe + "share/doc/tarvo/");
    return chemins;
}

std::vector<std::string> chemins_manuel_du_programme(std::string_view nom) {
    return chemins_manuel(dossier_programme(),
                          utf8_vers_cp1252(environnement_courant().dossier_executable), nom);
}

bool ouvrir_manuel(Lanceur& lanceur, Dialogue& dialogue,
                   const std::vector<std::string>& candidats) {
    const auto trouve = std::find_if(candidats.begin(), candidats.end(), fichier_existe);
    if (trouve == candidats.end()) {
        const std::string attendu = candidats.empty() ? std::string(nom_manuel) : candidats.front();
        dialogue.message(IdMessage::manuel_introuvable, "<" + attendu + "> introuvable",
                         TypeMessage::avertissement);
        return false;
    }
    if (lanceur.ouvrir_document(*trouve)) return true;
    // The path lets the user open it by hand.
    dialogue.message(IdMessage::lecteur_pdf_absent,
                     fr("Firefox et Acrobat introuvables : aucun lecteur PDF n'a pu ouvrir le "
                        "manuel\n\n") +
                         *trouve,
                     TypeMessage::avertissement);
    return false;
}

}  // namespace tarvo
