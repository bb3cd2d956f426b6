#include "app/plateforme_lot.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "app/questions_connues.h"
#include "formats/cp1252.h"
#include "formats/texte.h"

namespace tarvo {

namespace {

// The lines of a box without the blank ones, which only space it out on screen.
std::vector<std::string_view> lignes_non_vides(std::string_view texte) {
    std::vector<std::string_view> lignes;
    std::size_t debut = 0;
    while (debut <= texte.size()) {
        std::size_t fin = texte.find('\n', debut);
        if (fin == std::string_view::npos) fin = texte.size();
        std::string_view l = texte.substr(debut, fin - debut);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (l.find_first_not_of(' ') != std::string_view::npos) lignes.push_back(l);
        debut = fin + 1;
    }
    return lignes;
}

// The first whole number that follows `apres` in the text, -1 without one.
int nombre_apres(std::string_view texte, std::string_view apres) {
    const auto p = texte.find(apres);
    if (p == std::string_view::npos) return -1;
    const char* debut = texte.data() + p + apres.size();
    int n = -1;
    std::from_chars(debut, texte.data() + texte.size(), n);
    return n;
}

// The percent a progress text ends with ("… 45%"), -1 without one.
int pourcent_de(std::string_view texte) {
    const auto p = texte.rfind('%');
    if (p == std::string_view::npos) return -1;
    auto d = p;
    while (d > 0 && texte[d - 1] >= '0' && texte[d - 1] <= '9') --d;
    int n = -1;
    std::from_chars(texte.data() + d, texte.data() + p, n);
    return n;
}

}  // namespace

bool est_utf8_non_ascii(std::string_view octets) {
    bool non_ascii = false;
    for (std::size_t i = 0; i < octets.size();) {
        const auto c = static_cast<unsigned char>(octets[i]);
        // Lengths by lead byte; overlong forms, surrogates and values above U+10FFFF refused.
        std::size_t n = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
            min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + n >= octets.size()) return false;
        unsigned v = c & (0x3Fu >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto s = static_cast<unsigned char>(octets[i + k]);
            if ((s & 0xC0) != 0x80) return false;
            v = (v << 6) | (s & 0x3Fu);
        }
        if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
        non_ascii = true;
        i += n + 1;
    }
    return non_ascii;
}

const std::string& PressePapierEntree::texte() {
    if (!texte_) {
        std::string octets;
        if (!terminal_) {
            std::array<char, 1 << 16> bloc{};
            while (octets.size() <= taille_max && entree_) {
                entree_.read(bloc.data(), bloc.size());
                octets.append(bloc.data(), static_cast<std::size_t>(entree_.gcount()));
            }
        }
        trop_long_ = octets.size() > taille_max;
        if (trop_long_) octets = std::string();
        texte_ = est_utf8_non_ascii(octets) ? utf8_vers_cp1252(octets) : std::move(octets);
    }
    return *texte_;
}

std::string PressePapierEntree::lire_texte() {
    return texte();
}

// Standard input is read once and kept, as every description read takes it again: each reader
// sees that copy, never one of its own.
void PressePapierEntree::lire_texte_vers(const std::function<void(std::string_view)>& lire) {
    lire(texte());
}

std::string texte_terminal(std::string_view utf8) {
    std::string sans_c1;
    sans_c1.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto suivant = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0U;
        if (static_cast<unsigned char>(utf8[i]) == 0xC2 && suivant >= 0x80 && suivant < 0xA0) {
            sans_c1 += octet_echappe(static_cast<unsigned char>(suivant));
            ++i;
        } else {
            sans_c1 += utf8[i];
        }
    }
    return echapper_controles(sans_c1);
}

std::string citer_utf8(std::string_view utf8) {
    std::size_t fin = 0;
    for (std::size_t n = 0; fin < utf8.size(); ++n) {
        if (n == longueur_citee) return std::string(utf8.substr(0, fin)) + "…";
        ++fin;
        while (fin < utf8.size() && (static_cast<unsigned char>(utf8[fin]) & 0xC0U) == 0x80U) ++fin;
    }
    return std::string(utf8);
}

std::string duree_hms(double secondes) {
    return hh_mm_ss(std::llround(secondes));
}

void DialogueLot::ecrire(std::string_view prefixe, std::string_view texte_cp1252) {
    if (avant_ecriture) avant_ecriture();
    for (const std::string_view l : lignes_non_vides(texte_cp1252))
        erreurs_ << prefixe << texte_terminal(cp1252_vers_utf8(l)) << '\n';
    erreurs_.flush();
}

void DialogueLot::message(IdMessage, std::string_view texte, TypeMessage type) {
    if (type == TypeMessage::erreur) ++nb_erreurs_;
    // Information boxes only report what went well; errors and warnings always show.
    if (silencieux_ && (type == TypeMessage::information || type == TypeMessage::confirmation))
        return;
    ecrire("", texte);
}

int DialogueLot::repondre(IdMessage id, std::string_view texte,
                          const std::vector<std::string>& legendes) {
    ecrire("? ", texte);
    const QuestionConnue* q = question_connue(id);
    int bouton = 1;
    if (oui_partout_) {
        bouton = 1;
        if (q && (q->abandons & (1U << 1U))) abandon_ = true;
    } else if (q) {
        bouton = std::clamp(q->bouton, 1, static_cast<int>(legendes.size()));
        if (q->abandons & (1U << static_cast<unsigned>(bouton))) abandon_ = true;
    } else {
        // A question nobody foresaw: the last button (Non, Annuler) and no result, rather
        // than a file written on a guess.
        bouton = static_cast<int>(legendes.size());
        abandon_ = true;
    }
    erreurs_ << "> " << texte_terminal(legendes[static_cast<std::size_t>(bouton - 1)]) << '\n';
    if (!q && !oui_partout_)
        erreurs_ << cp1252_vers_utf8(fr("question imprévue : le traitement est abandonné")) << '\n';
    erreurs_.flush();
    return bouton;
}

Reponse DialogueLot::question(IdMessage id, std::string_view texte, TypeMessage, Boutons boutons,
                              std::optional<Reponse>) {
    std::vector<std::string> legendes;
    for (int i = 1; i <= nb_boutons(boutons); ++i)
        legendes.emplace_back(legende_bouton(boutons, i));
    return reponse_du_bouton(boutons, repondre(id, texte, legendes));
}

int DialogueLot::message_perso(IdMessage id, std::string_view texte, TypeMessage,
                               std::string_view legende1, std::string_view legende2,
                               std::string_view legende3) {
    std::vector<std::string> legendes;
    for (const std::string_view l : {legende1, legende2, legende3}) {
        if (l.empty()) break;
        legendes.push_back(cp1252_vers_utf8(l));
    }
    if (legendes.empty()) legendes.emplace_back("OK");
    return repondre(id, texte, legendes);
}

void ProgressionLot::afficher_progression(std::string_view message, int chronometre) {
    if (!actif_) return;
    const auto maintenant = Horloge::now();
    if (chronometre != chronometre_) {
        chronometre_ = chronometre;
        debut_etape_ = maintenant;
    }
    static constexpr std::array<std::string_view, 4> etapes{"", "1- listage", "2- grille",
                                                            "3- traitement"};
    std::string ligne(etapes[static_cast<std::size_t>(std::clamp(chronometre, 0, 3))]);
    const int pourcent = pourcent_de(message);
    const int n = nb_fichiers_ ? nb_fichiers_() : 0;
    const int fichier = nombre_apres(message, "fic-");
    double fait = pourcent >= 0 ? pourcent / 100.0 : -1;
    if (chronometre == chronometre_traitement && fichier >= 1 && n >= 1) {
        ligne += "  fichier " + std::to_string(fichier) + "/" + std::to_string(n);
        fait = (fichier - 1 + std::max(0, pourcent) / 100.0) / n;
    }
    if (fait >= 0) {
        fait = std::clamp(fait, 0.0, 1.0);
        constexpr int largeur = 30;
        const int plein = static_cast<int>(fait * largeur);
        std::array<char, 16> p{};
        std::snprintf(p.data(), p.size(), "%3d%%", static_cast<int>(fait * 100));
        ligne += "  [" + std::string(static_cast<std::size_t>(plein), '#') +
                 std::string(static_cast<std::size_t>(largeur - plein), '.') + "] " + p.data();
        const double ecoule = std::chrono::duration<double>(maintenant - debut_etape_).count();
        if (fait > 0.01) ligne += "  reste " + duree_hms(ecoule / fait * (1 - fait));
    }
    // "\033[K" clears what a longer previous line left.
    erreurs_ << '\r' << ligne << "\033[K" << std::flush;
    ligne_ecrite_ = true;
}

void ProgressionLot::effacer() {
    if (!ligne_ecrite_) return;
    erreurs_ << "\r\033[K" << std::flush;
    ligne_ecrite_ = false;
}

}  // namespace tarvo
