#include "description/fichiers_programme.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/nombres.h"
#include "formats/provisoire.h"
#include "formats/texte.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

// The GUI and the batch driver share one set of companion files.
constexpr std::string_view nom_programme = "tarvo";

std::optional<std::string> variable(const char* nom) {
    const char* v = std::getenv(nom);
    if (v == nullptr || *v == '\0') return std::nullopt;
    return std::string(v);
}

// A UTF-8 directory as a core path with its final "/"; nothing when the code page cannot
// hold it, since a lossy name would point at another directory.
std::optional<std::string> dossier_coeur(const std::string& utf8) {
    auto texte = utf8_vers_cp1252_exact(utf8);
    if (!texte) return std::nullopt;
    return ajouter_antislash(*texte);
}

// Replaces some lines of a numbered-line file and writes its 60 lines at once.
void ecrire_lignes_parametre(std::string_view fichier,
                             const std::vector<std::pair<int, std::string>>& nouvelles) {
    const std::string ancien = lire_fichier(fichier).value_or(std::string());
    const auto anciennes = decouper_lignes(ancien);
    std::vector<std::string> lignes(max_parametre);
    for (std::size_t i = 0; i < lignes.size() && i < anciennes.size(); ++i)
        lignes[i] = std::string(anciennes[i]);
    for (const auto& [n, texte] : nouvelles) lignes.at(static_cast<std::size_t>(n - 1)) = texte;
    std::string contenu;
    for (const auto& l : lignes) contenu.append(l).append("\r\n");
    ecrire_fichier_atomique(fichier, contenu);
}

}  // namespace

EnvironnementProgramme environnement_courant() {
    EnvironnementProgramme e;
    e.variable = variable("TARVO_DOSSIER_PROGRAMME");
    std::error_code erreur;
    const fs::path exe = fs::read_symlink("/proc/self/exe", erreur);
    if (!erreur) e.dossier_executable = exe.parent_path().string();
    e.xdg_config_home = variable("XDG_CONFIG_HOME");
    e.home = variable("HOME");
    if (!e.home) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
            e.home = std::string(pw->pw_dir);
    }
    return e;
}

std::string resoudre_dossier_programme(const EnvironnementProgramme& e) {
    if (e.variable)
        if (auto d = dossier_coeur(*e.variable)) return *d;
    if (!e.dossier_executable.empty() && ::access(e.dossier_executable.c_str(), W_OK) == 0)
        if (auto d = dossier_coeur(e.dossier_executable)) return *d;
    // XDG wants an absolute XDG_CONFIG_HOME; a relative one is ignored.
    std::string config;
    if (e.xdg_config_home && e.xdg_config_home->starts_with('/'))
        config = *e.xdg_config_home;
    else if (e.home)
        config = *e.home + "/.config";
    else
        config = ".";
    const std::string utf8 = ajouter_antislash(config) + std::string(nom_programme);
    std::error_code ignore;
    fs::create_directories(fs::path(utf8), ignore);
    return dossier_coeur(utf8).value_or(ajouter_antislash(utf8_vers_cp1252(utf8)));
}

const std::string& dossier_programme() {
    static const std::string dossier = resoudre_dossier_programme(environnement_courant());
    return dossier;
}

double maintenant_local() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const double jour =
        date_civile(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(0);
    // A leap second (60) counts as the last second of the minute.
    const int s = local.tm_sec > 59 ? 59 : local.tm_sec;
    return jour + (local.tm_hour * 3600 + local.tm_min * 60 + s) / jour_en_secondes;
}

std::string fichier_prm(std::string_view dossier) {
    return ajouter_antislash(dossier) + std::string(nom_programme) + ".prm";
}

std::string fichier_2dt(std::string_view dossier) {
    return ajouter_antislash(dossier) + std::string(nom_programme) + ".2dt";
}

std::array<Couleur, 4> couleurs_affichees(int RadioGroup_coul_nb,
                                          const std::array<Couleur, 4>& couleurs) {
    return RadioGroup_coul_nb != 0 ? couleurs_gris : couleurs;
}

std::optional<Couleur> lire_ligne_couleur(std::string_view ligne) {
    if (nb_car(',', ligne) != 2) return std::nullopt;
    std::array<int, 3> c{};
    for (std::size_t i = 0; i < c.size(); ++i) {
        const auto virgule = ligne.find(',');
        const auto n = lire_entier(ligne.substr(0, virgule));
        if (!n || *n < 0 || *n > 255) return std::nullopt;
        c[i] = *n;
        ligne = virgule == std::string_view::npos ? std::string_view{} : ligne.substr(virgule + 1);
    }
    return Couleur{c[0], c[1], c[2]};
}

std::string ecrire_ligne_couleur(Couleur c) {
    return std::to_string(c.rouge) + "," + std::to_string(c.vert) + "," + std::to_string(c.bleu);
}

ParametresPrm lire_fichier_prm(std::string_view fichier) {
    ParametresPrm p;
    const std::string contenu = lire_fichier(fichier).value_or(std::string());
    const auto lignes = decouper_lignes(contenu);
    const auto ligne = [&](std::size_t n) {
        return n <= lignes.size() ? lignes[n - 1] : std::string_view{};
    };
    p.derniere_description = std::string(ligne(1));
    for (std::size_t i = 0; i < p.couleurs.size(); ++i)
        p.couleurs[i] = lire_ligne_couleur(ligne(i + 2)).value_or(couleurs_par_defaut[i]);
    const auto mode = ligne(6);
    p.RadioGroup_coul_nb = !mode.empty() && mode != "0" ? 1 : 0;
    return p;
}

void ecrire_prm_apres_description(std::string_view fichier, std::string_view chemin_description,
                                  int RadioGroup_coul_nb, const std::array<Couleur, 4>& couleurs) {
    std::vector<std::pair<int, std::string>> lignes{{1, std::string(chemin_description)}};
    if (RadioGroup_coul_nb == 0)
        for (std::size_t i = 0; i < couleurs.size(); ++i)
            lignes.emplace_back(static_cast<int>(i) + 2, ecrire_ligne_couleur(couleurs[i]));
    lignes.emplace_back(6, RadioGroup_coul_nb != 0 ? "1" : "0");
    ecrire_lignes_parametre(fichier, lignes);
}

ParametresGrille2dt lire_fichier_2dt(std::string_view fichier, ParametresGrille2dt g) {
    const std::string contenu = lire_fichier(fichier).value_or(std::string());
    const auto lignes = decouper_lignes(contenu);
    const auto ligne = [&](std::size_t n) {
        return n <= lignes.size() ? lignes[n - 1] : std::string_view{};
    };
    const auto texte = [&](std::size_t n, std::string& cible) {
        if (!ligne(n).empty()) cible = std::string(ligne(n));
    };
    const auto entier = [&](std::size_t n, int& cible) {
        if (const auto v = lire_entier(ligne(n))) cible = *v;
    };
    texte(1, g.Label_temps_deb);
    texte(2, g.Label_temps_fin);
    texte(3, g.TimePicker_pas);
    texte(4, g.resume_grille);
    entier(5, g.SpinEdit_pas_jour_mois_annee);
    entier(6, g.test_strict);
    entier(7, g.unite_pas);
    return g;
}

void ecrire_fichier_2dt(std::string_view fichier, const ParametresGrille2dt& g) {
    ecrire_lignes_parametre(fichier, {{1, g.Label_temps_deb},
                                      {2, g.Label_temps_fin},
                                      {3, g.TimePicker_pas},
                                      {4, g.resume_grille},
                                      {5, std::to_string(g.SpinEdit_pas_jour_mois_annee)},
                                      {6, std::to_string(g.test_strict)},
                                      {7, std::to_string(g.unite_pas)}});
}

}  // namespace tarvo
