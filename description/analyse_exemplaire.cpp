#include "description/analyse_exemplaire.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "formats/cp1252.h"
#include "formats/nombres.h"
#include "formats/texte.h"
#include "plateforme/dialogue.h"

namespace tarvo {

std::string nom_description_propose(std::string_view nom, const Description& d) {
    std::string base(nom.substr(0, nom.rfind('.')));
    if (const auto p = nom.find("_("); p != std::string_view::npos) base = nom.substr(0, p);
    std::string code = "_(" + d.Edit_masque;
    // A name pattern's wildcards have no place in a file name.
    std::replace(code.begin(), code.end(), '*', '_');
    std::replace(code.begin(), code.end(), '?', '_');
    std::replace(code.begin() + 2, code.end(), '.', '_');
    static const std::array<const char*, 4> separateurs = {" Tab", " esp", " ;", " ,"};
    const int i = static_cast<int>(d.RadioGroup_separateur_colonne_ItemIndex);
    const std::string sep = i >= 0 && i < 4 ? separateurs[static_cast<std::size_t>(i)] : "";
    return base + code + sep + ").dsc";
}

Description description_autre_famille(const Description& actuelle, Description defauts) {
    Description& d = defauts;
    d.RadioGroup_avec_sans_intitule_ItemIndex = actuelle.RadioGroup_avec_sans_intitule_ItemIndex;
    d.Edit_num_ligne_intitule_col = actuelle.Edit_num_ligne_intitule_col;
    d.Edit_num_ligne_donnee = actuelle.Edit_num_ligne_donnee;
    d.RadioGroup_separateur_colonne_ItemIndex = actuelle.RadioGroup_separateur_colonne_ItemIndex;
    d.Edit_masque = actuelle.Edit_masque;
    d.Edit_name_prog_blocnote = actuelle.Edit_name_prog_blocnote;
    d.CheckBox_aide_flottante = actuelle.CheckBox_aide_flottante;
    d.RadioGroup_coul_nb = actuelle.RadioGroup_coul_nb;
    d.dossier_description = actuelle.dossier_description;
    d.dossier_choisi_sortie = actuelle.dossier_choisi_sortie;
    return d;
}

ComptesSeparateurs compter_separateurs(std::string_view ligne) {
    return {nb_car('\t', ligne), nb_car(' ', ligne), nb_car(';', ligne), nb_car(',', ligne)};
}

std::optional<int> separateur_propose(const ComptesSeparateurs& c) {
    const std::array<int, 4> n = {c.tabulations, c.blancs, c.points_virgules, c.virgules};
    std::optional<int> propose;
    for (std::size_t i = 0; i < n.size(); ++i) {
        bool devant = true;
        for (std::size_t j = 0; j < n.size(); ++j) devant = devant && (i == j || n[i] > n[j]);
        if (devant) propose = static_cast<int>(i);
    }
    // Blank-aligned text around ";"-separated fields is still a ";" file.
    if (propose == 1 && c.points_virgules > 3 && c.tabulations > c.virgules) propose = 2;
    return propose;
}

std::string nom_separateur(int indice) {
    static const std::array<const char*, 4> noms = {"tabulation", "espace", "point-virgule",
                                                    "virgule"};
    return indice >= 0 && indice < 4 ? noms[static_cast<std::size_t>(indice)] : "";
}

namespace {

std::string legende_separateur(int indice) {
    static const std::array<const char*, 4> legendes = {"Tabulation", "Espace", "Point-virgule",
                                                        "Virgule"};
    return indice >= 0 && indice < 4 ? legendes[static_cast<std::size_t>(indice)] : "";
}

// A line-number field read as the program reads it: an integer or a stop.
int entier_champ(std::string_view texte) {
    if (const auto n = lire_entier(rogner(texte))) return *n;
    throw std::invalid_argument("'" + std::string(texte) +
                                fr("' n'est pas une valeur entière correcte"));
}

std::string_view ligne_1(const std::vector<std::string_view>& lignes, int numero) {
    return numero >= 1 && numero <= static_cast<int>(lignes.size())
               ? lignes[static_cast<std::size_t>(numero - 1)]
               : std::string_view();
}

bool oui(Dialogue& dialogue, IdMessage id, const std::string& texte, Boutons boutons) {
    return dialogue.question(id, texte, TypeMessage::avertissement, boutons) == Reponse::oui;
}

}  // namespace

bool ressemble_a_intitules(std::string_view ligne) {
    return nb_lettres(ligne) > nb_car_numeriques(ligne);
}

int ligne_depart(const std::vector<std::string_view>& lignes, const Description& d) {
    if (d.RadioGroup_numlig_balise_ItemIndex != DebutDonnees::balises) return 0;
    for (std::size_t i = 0; i < lignes.size(); ++i)
        if (contient(lignes[i], d.Edit_balise_deb)) return static_cast<int>(i);
    return static_cast<int>(lignes.size());
}

std::string question_intitules_sans(int a, std::string_view ligne) {
    return fr("la ligne n°") + std::to_string(a) +
           fr(" semble correspondre à des intitulés de colonnes...") + "\n" + "\n" +
           std::string(ligne) + "\n\n" +
           fr(" proposition => choisir l'option avec intitulé de colonnes et son n° de ligne") +
           "\n\n" + "     corriger (Oui)\n\n" + "     annuler  (Annuler)";
}

std::string question_intitules_avec(int a, std::string_view ligne) {
    return fr("la ligne n°") + std::to_string(a) +
           fr("  ne semble pas correspondre à une suite d'intitulés de colonnes...") + "\n" + "\n" +
           std::string(ligne) + "\n\n" +
           fr(" proposition => choisir l'option sans intitulé de colonnes") + "\n\n" +
           "     corriger (Oui)\n\n" + "     annuler  (Annuler)";
}

std::string question_pas_de_ligne_intitules(std::string_view ligne) {
    return fr("d'après le contenu de ce nouveau fichier de donnée,\n il semble qu'il n'y ait pas "
              "de "
              "ligne d'intitulé de colonnes comme prévu\n\n") +
           std::string(ligne) + "\n\n" + fr(" => option [sans intitulé] et [donnée en ligne ") +
           "1" + "]" + "\n\n" + "  corriger (Oui)\n\n" + "  annuler  (Annuler)";
}

std::string question_separateur(std::string_view ligne, const ComptesSeparateurs& c, int propose,
                                int actuel) {
    return fr("d'après le contenu de ce nouveau fichier de donnée,\n et de la première ligne à "
              "'date' :\n\n") +
           std::string(ligne) + "\n\n" + "<tab>=" + std::to_string(c.tabulations) + "\n" +
           "<esp>=" + std::to_string(c.blancs) + "\n" + "<;>=" + std::to_string(c.points_virgules) +
           "\n" + "<,>=" + std::to_string(c.virgules) + "\n\n" +
           fr(" Il semble que le séparateur de colonnes soit <") + nom_separateur(propose) +
           "> et non <" + nom_separateur(actuel) + ">\n\n" + fr(" modifier le séparateur (oui)") +
           "\n\n" + " garder <" + legende_separateur(actuel) + "> (non)";
}

std::string question_ligne_donnee(int a, std::string_view num_ligne_donnee,
                                  std::string_view ligne) {
    return fr(" Les premières données sont détectées en ligne ") + std::to_string(a) +
           " et non en " + std::string(num_ligne_donnee) + "\n\n" + std::string(ligne) + "\n\n" +
           fr(" proposition => [donnée en ligne ") + std::to_string(a) + "]" + "\n\n" +
           "  corriger (Oui)\n\n" + "  annuler  (Annuler)";
}

std::string question_intitules_vides(int n, int k, std::string_view titre,
                                     std::string_view precedente, std::string_view ligne) {
    return fr("1- Il se pourrait qu'il y ait des intitulés de colonnes en ligne ") +
           std::to_string(n) + " et non en ligne " + std::to_string(k) + "\n\n" + "L" +
           std::to_string(n) + " <" + std::string(titre) + ">" + "\n\n" + "L" +
           std::to_string(n - 1) + " <" + std::string(precedente) + "\n\n" + std::string(ligne) +
           "\n\n" + fr(" proposition => [intitulés en ligne ") + std::to_string(n) + "] / " +
           std::to_string(k) + "\n\n" + "  corriger (Oui)\n\n" + "  annuler  (Annuler)";
}

std::string question_intitules_precedente(int n, std::string_view precedente) {
    return fr("2- Il se pourrait qu'il y ait des intitulés de colonnes en ligne ") +
           std::to_string(n) + "\n\n" + std::string(precedente) + "\n\n" +
           fr(" proposition => [avec intitulés] et [intitulés en ligne ") + std::to_string(n) +
           "]" + "\n\n" + "  corriger (Oui)\n\n" + "  annuler  (Annuler)";
}

namespace {

bool chiffre(char c) {
    return c >= '0' && c <= '9';
}

// Digits, a "/", "-" or "." and digits twice: "7/06/2010", "2022-06-29", "16.11.23".
bool contient_date(std::string_view t) {
    const auto chiffres = [&](std::size_t& i) {
        const std::size_t debut = i;
        while (i < t.size() && chiffre(t[i])) ++i;
        return i > debut && i - debut <= 4;
    };
    for (std::size_t debut = 0; debut < t.size(); ++debut) {
        if (!chiffre(t[debut]) || (debut > 0 && chiffre(t[debut - 1]))) continue;
        std::size_t i = debut;
        if (!chiffres(i) || i >= t.size()) continue;
        const char sep = t[i];
        if (sep != '/' && sep != '-' && sep != '.') continue;
        ++i;
        if (!chiffres(i) || i >= t.size() || t[i] != sep) continue;
        ++i;
        if (chiffres(i)) return true;
    }
    return false;
}

// The first data line holds a time. A time found only inside double quotes with no date
// beside it belongs to a title ("Date Time, GMT-07:00"); a quoted measurement time
// ("2022-06-29 17:15:00") comes with its date.
// The text of a line outside its double quotes, each quote replaced by `pour_guillemet`.
std::string hors_guillemets(std::string_view ligne, char pour_guillemet) {
    std::string hors;
    bool dedans = false;
    for (const char c : ligne) {
        if (c == '"') {
            dedans = !dedans;
            hors += pour_guillemet;
        } else if (!dedans) {
            hors += c;
        }
    }
    return hors;
}

bool ligne_de_donnees(std::string_view ligne) {
    if (!contient_heure(ligne)) return false;
    return contient_heure(hors_guillemets(ligne, ' ')) || contient_date(ligne);
}

}  // namespace

bool analyser_exemplaire(const std::vector<std::string_view>& lignes, Description& d,
                         Dialogue& dialogue) {
    bool modifie = false;
    const int s = ligne_depart(lignes, d);
    const int fin = std::min(s + 100, static_cast<int>(lignes.size()));
    for (int n = 0; n < fin; ++n) {
        const int a = n + 1;
        const std::string_view L = lignes[static_cast<std::size_t>(n)];
        if (d.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::sans &&
            entier_champ(d.Edit_num_ligne_donnee) + s == a && ressemble_a_intitules(L) &&
            oui(dialogue, IdMessage::exemplaire_ligne_semble_intitules,
                question_intitules_sans(a, L), Boutons::oui_annuler)) {
            d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::avec;
            d.Edit_num_ligne_intitule_col = std::to_string(a);
            d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::numero_de_ligne;
            modifie = true;
        }
        if (d.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::avec &&
            entier_champ(d.Edit_num_ligne_intitule_col) + s == a &&
            nb_lettres(L) < nb_car_numeriques(L) &&
            oui(dialogue, IdMessage::exemplaire_ligne_semble_pas_intitules,
                question_intitules_avec(a, L), Boutons::oui_annuler)) {
            d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
            modifie = true;
        }
        if (!ligne_de_donnees(L)) continue;

        // L is the first data line.
        if (n == 0 && d.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::avec &&
            oui(dialogue, IdMessage::exemplaire_pas_de_ligne_intitules,
                question_pas_de_ligne_intitules(L), Boutons::oui_annuler)) {
            d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
            d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::numero_de_ligne;
            d.Edit_num_ligne_donnee = "1";
            modifie = true;
        }
        // Read with quoted fields, the separators inside the quotes separate nothing.
        const ComptesSeparateurs c = compter_separateurs(
            d.CheckBox_champs_guillemets ? hors_guillemets(L, '"') : std::string(L));
        const int actuel = static_cast<int>(d.RadioGroup_separateur_colonne_ItemIndex);
        if (const auto propose = separateur_propose(c);
            propose && *propose != actuel &&
            oui(dialogue, IdMessage::exemplaire_separateur_propose,
                question_separateur(L, c, *propose, actuel), Boutons::oui_non)) {
            d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(*propose);
            modifie = true;
        }
        if (d.RadioGroup_numlig_balise_ItemIndex == DebutDonnees::numero_de_ligne &&
            entier_champ(d.Edit_num_ligne_donnee) + s != a &&
            oui(dialogue, IdMessage::exemplaire_ligne_donnee_proposee,
                question_ligne_donnee(a, d.Edit_num_ligne_donnee, L), Boutons::oui_annuler)) {
            d.Edit_num_ligne_donnee = std::to_string(a);
            modifie = true;
        }
        const std::string_view P =
            n > 0 ? lignes[static_cast<std::size_t>(n - 1)] : std::string_view();
        if (d.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::avec) {
            const int k = entier_champ(d.Edit_num_ligne_intitule_col) + s;
            const std::string_view T = ligne_1(lignes, k);
            if (n > 0 && T.empty() && !P.empty() &&
                oui(dialogue, IdMessage::exemplaire_intitules_en_ligne,
                    question_intitules_vides(n, k, T, P, L), Boutons::oui_annuler)) {
                d.Edit_num_ligne_intitule_col = std::to_string(n);
                modifie = true;
            }
        } else if (n > 0 && d.RadioGroup_numlig_balise_ItemIndex == DebutDonnees::numero_de_ligne &&
                   ressemble_a_intitules(P) &&
                   oui(dialogue, IdMessage::exemplaire_intitules_ligne_precedente,
                       question_intitules_precedente(n, P), Boutons::oui_annuler)) {
            d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::avec;
            d.Edit_num_ligne_intitule_col = std::to_string(n);
            modifie = true;
        }
        break;
    }
    return modifie;
}

bool ligne_entre_guillemets(std::string_view ligne, char separateur) {
    if (ligne.starts_with("\xEF\xBB\xBF")) ligne.remove_prefix(3);
    bool debut_de_champ = true;
    for (const char c : ligne) {
        if (c == '"' && debut_de_champ) return true;
        if (c == separateur)
            debut_de_champ = true;
        else if (c != ' ')
            debut_de_champ = false;
    }
    return false;
}

std::string question_champs_guillemets(std::string_view ligne) {
    return fr("d'après le contenu de ce nouveau fichier de donnée,\n les champs semblent "
              "entre guillemets :\n\n") +
           std::string(ligne) + "\n\n" + fr(" proposition => [champs entre guillemets]") + "\n\n" +
           fr(" lire les champs entre guillemets (oui)") + "\n\n" +
           fr(" garder les guillemets comme du texte (non)");
}

bool proposer_champs_guillemets(const std::vector<std::string_view>& lignes, Description& d,
                                Dialogue& dialogue) {
    if (d.CheckBox_champs_guillemets) return false;
    static constexpr std::array<char, 4> separateurs = {'\t', ' ', ';', ','};
    const int i = static_cast<int>(d.RadioGroup_separateur_colonne_ItemIndex);
    const char sep = i >= 0 && i < 4 ? separateurs[static_cast<std::size_t>(i)] : '\t';
    const int s = ligne_depart(lignes, d);
    std::vector<std::string_view> candidates;
    if (d.RadioGroup_avec_sans_intitule_ItemIndex == Intitules::avec)
        candidates.push_back(ligne_1(lignes, entier_champ(d.Edit_num_ligne_intitule_col) + s));
    const int fin = std::min(s + 100, static_cast<int>(lignes.size()));
    for (int n = 0; n < fin; ++n) {
        if (!ligne_de_donnees(lignes[static_cast<std::size_t>(n)])) continue;
        candidates.push_back(lignes[static_cast<std::size_t>(n)]);
        break;
    }
    for (const std::string_view ligne : candidates) {
        if (!ligne_entre_guillemets(ligne, sep)) continue;
        if (!oui(dialogue, IdMessage::exemplaire_champs_guillemets_proposes,
                 question_champs_guillemets(ligne), Boutons::oui_non))
            return false;
        d.CheckBox_champs_guillemets = true;
        return true;
    }
    return false;
}

namespace {

std::string remplacer_tout(std::string_view cherche, std::string_view par, std::string texte) {
    for (auto p = texte.find(cherche); p != std::string::npos;
         p = texte.find(cherche, p + par.size()))
        texte.replace(p, cherche.size(), par);
    return texte;
}

ControleChamp controle(std::string_view avant, std::string apres, std::string message = {}) {
    const bool modifie = apres != avant;
    return {std::move(apres), std::move(message), modifie};
}

// Minutes written "mm" like the months are the commonest pattern mistake.
std::string alerte_quatre_m(std::string_view motif) {
    return nb_car('m', motif) == 4 ? fr(" il y a 4 \"m\", vérifier que les minutes soient \"mn\" "
                                        "et non \"mm\" comme les mois !")
                                   : std::string();
}

// A flexible pattern ("mm/jj/aa hh:mn:ss AM/PM souple") is kept as the pick list gives it:
// its blanks separate its groups and its keyword. Fixed-position patterns lose theirs.
std::string motif_nettoye(std::string_view texte) {
    if (contient(texte, "souple")) return remplacer_car(';', ':', rogner(texte));
    return remplacer_car(';', ':', supprimer_car(' ', texte));
}

}  // namespace

ControleChamp controler_col_cochee(std::string_view texte, const Description& d) {
    std::string t1 = remplacer_car('.', ',', remplacer_car(';', ',', supprimer_car(' ', texte)));
    t1 = remplacer_premier(",,", ",", t1);
    std::string_view t2 = t1;
    if (!t2.empty() && t2.back() == ',') t2.remove_suffix(1);
    std::vector<std::string> dates;
    if (d.RadioGroup_datetime_nb_col_ItemIndex == ColonnesDateHeure::deux)
        dates = {d.Edit_num_col_date, d.Edit_num_col_time};
    else
        dates = {d.Edit_num_col_datetime};
    std::string t3;
    for (std::size_t debut = 0; debut <= t2.size();) {
        const auto virgule = std::min(t2.find(',', debut), t2.size());
        const std::string numero(t2.substr(debut, virgule - debut));
        debut = virgule + 1;
        if (numero.empty() || std::find(dates.begin(), dates.end(), numero) != dates.end())
            continue;
        if (!t3.empty()) t3 += ',';
        t3 += numero;
    }
    ControleChamp r{t3, {}, t3 != texte};
    if (d.CheckBox_col_cochee && t3 != t1)
        r.message = fr(" Il a fallu enlever le n° de la colonne date/time de la liste des colonnes "
                       "à extraire\n\n  de <") +
                    std::string(texte) + ">\n\n" + fr("   à <") + t3 + ">";
    return r;
}

ControleChamp controler_format_datetime(std::string_view texte) {
    std::string t = remplacer_premier("hh:mm", "hh:mn", motif_nettoye(texte));
    std::string message = alerte_quatre_m(t);
    return controle(texte, std::move(t), std::move(message));
}

ControleChamp controler_format_date_seule(std::string_view texte) {
    std::string t = remplacer_tout("hh:mm", "hh:mn", motif_nettoye(texte));
    if (const auto p = t.find("hh:mn"); p != std::string::npos) t.erase(p, 5 + 4);
    return controle(texte, std::move(t));
}

ControleChamp controler_date_fichier(std::string_view texte) {
    std::string t = remplacer_tout("hh:mm", "hh:mn", remplacer_car('.', ',', motif_nettoye(texte)));
    std::string message = alerte_quatre_m(t);
    return controle(texte, std::move(t), std::move(message));
}

ControleChamp controler_masque(std::string_view texte) {
    return controle(texte, std::string(rogner(texte)));
}

ControleChamp controler_equiv_na(std::string_view texte) {
    std::string t(texte);
    if (const auto p = t.find(','); p != std::string::npos && p + 1 < t.size()) {
        const char suivant = t[p + 1];
        const bool nombre = suivant == '+' || suivant == '-' || suivant == 'E' ||
                            (suivant >= '0' && suivant <= '9');
        if (!nombre) t[p] = ';';
    }
    std::string message = nb_car(';', t) > 6
                              ? fr("seules les 7 première équivalences seront prises en compte\n\n "
                                   "  en restreindre le nombre...")
                              : std::string();
    return controle(texte, std::move(t), std::move(message));
}

}  // namespace tarvo
