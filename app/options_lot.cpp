#include "app/options_lot.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "app/motifs_lot.h"
#include "app/plateforme_lot.h"
#include "formats/date_canonique.h"

namespace tarvo {

namespace {

bool chiffres(const std::string& t, std::size_t debut, std::size_t n) {
    if (debut + n > t.size()) return false;
    for (std::size_t i = debut; i < debut + n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
    return true;
}

int nombre(const std::string& t, std::size_t debut, std::size_t n) {
    return std::stoi(t.substr(debut, n));
}

// "hh:mm:ss" read into seconds, nothing when it is not one.
std::optional<int> heure(const std::string& t) {
    if (t.size() != 8 || !chiffres(t, 0, 2) || t[2] != ':' || !chiffres(t, 3, 2) || t[5] != ':' ||
        !chiffres(t, 6, 2))
        return std::nullopt;
    const int h = nombre(t, 0, 2), m = nombre(t, 3, 2), s = nombre(t, 6, 2);
    if (h > 23 || m > 59 || s > 59) return std::nullopt;
    return h * 3600 + m * 60 + s;
}

constexpr std::string_view aide_pied =
    "Lit la description (.dsc), liste les fichiers de données de son répertoire, crée la\n"
    "liste horodatée régulière et écrit le fichier résultat et son fichier de suivi dans le\n"
    "répertoire de sortie, comme la fenêtre le ferait. La description n'est jamais réécrite.\n"
    "Une description de classeur (masque contenant XLS ou ODS) lit la feuille indiquée du\n"
    "classeur qu'elle nomme ; une description de presse-papier (masque ppp) lit le texte\n"
    "copié sur l'entrée standard (UTF-8 ou Windows-1252, 128 Mo au plus) :\n"
    "tarvo-lot coller.dsc < cellules.txt\n"
    "\n"
    "Questions : les confirmations de vos propres réglages sont acceptées, les propositions\n"
    "de modifier les réglages sont refusées, les questions qui proposent d'annuler parce que\n"
    "les données semblent fausses annulent le traitement. Chaque question et sa réponse sont\n"
    "écrites sur la sortie d'erreur, précédées de \"? \" et \"> \".\n"
    "\n"
    "Sortie standard : le chemin complet du fichier résultat, et rien d'autre.\n"
    "\n"
    "Réglages de la description ajoutés aux 65 d'origine (absents : rien ne change) :\n"
    "  CheckBox_champs_guillemets.Checked= true   un champ qui commence par \" va jusqu'au\n"
    "      guillemet qui le ferme (séparateurs compris, \"\" vaut un guillemet)\n"
    "  Edit_fuseau_mesures.text= UTC-07:00        fuseau des heures des fichiers\n"
    "  Edit_fuseau_resultat.text= Europe/Paris    fuseau du résultat (vide : aucune\n"
    "      conversion) ; un décalage écrit après l'heure (+01:00, Z) vaut pour sa ligne\n"
    "  Edit_min_mesures_valides.text= 360         moins de valeurs OK dans un pas : NA\n"
    "  unite_pas_dsc= 2 jour                      unité du pas de la période du dernier\n"
    "      traitement (vide : hh:mn:ss, le pas de Label_pas_dsc.caption)\n"
    "  test_strict_dsc= 1                         son test sur les dates : 1 (inf strict),\n"
    "      0 (inf ou =)\n"
    "Formats de date (souple : 12 h, chiffres seuls, secondes absentes) : --motifs.\n"
    "\n"
    "Plusieurs descriptions : chacune est convertie à part, par un processus à elle, avec\n"
    "les mêmes options (sauf --nom, refusé), --travaux à la fois. La sortie standard donne\n"
    "une ligne par description, dans l'ordre donné : le chemin de son résultat, ou une\n"
    "ligne vide quand elle n'a rien écrit. Ce que chacune écrit sur la sortie d'erreur est\n"
    "regroupé sous « ==> description <== », dans le même ordre, suivi de son code de sortie\n"
    "quand il n'est pas 0. L'entrée standard n'est pas lue, aucune barre de progression.\n"
    "Le code de sortie est le plus grave des conversions : 2, puis 1, 3, 4, et 0.\n"
    "\n"
    "Codes de sortie :\n"
    "  0  résultat écrit, avec au moins une valeur valide\n"
    "  1  la description, les répertoires ou les fichiers empêchent le traitement, ou\n"
    "     l'écriture a échoué (le message dit ce qui est resté sur le disque)\n"
    "  2  mauvaise utilisation\n"
    "  3  traitement annulé par une question\n"
    "  4  résultat écrit, mais aucune valeur valide : il ne contient que des NA (son chemin\n"
    "     est imprimé, un avertissement sur la sortie d'erreur le nomme)\n"
    "  128 + n  arrêté par le signal n avant que le nouveau résultat ne prenne sa place :\n"
    "     l'ancien résultat et son suivi restent entiers";

// The descriptions of the call, or why they are refused. Converted at once, two runs of one
// description, or of several under one --nom, would write over each other's result.
std::optional<std::string> choisir_descriptions(OptionsLot& o,
                                                const std::vector<std::string>& descriptions,
                                                bool enfant) {
    if (enfant) {
        if (o.rang < 1 || o.rang > static_cast<int>(descriptions.size()))
            return "--rang-description attend un nombre entier de 1 à " +
                   std::to_string(descriptions.size()) + " : " + std::to_string(o.rang);
        o.descriptions = {descriptions[static_cast<std::size_t>(o.rang - 1)]};
    } else {
        o.descriptions = descriptions;
        o.rang = 0;
    }
    o.description = o.descriptions.front();
    if (o.descriptions.size() < 2) return std::nullopt;
    if (o.nom)
        return "--nom ne sert qu'avec une seule description : les résultats de " +
               std::to_string(o.descriptions.size()) + " descriptions porteraient tous ce nom";
    std::set<std::filesystem::path> vues;
    for (const std::string& d : o.descriptions) {
        std::error_code e;
        const auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(d, e), e);
        if (!vues.insert(e ? std::filesystem::path(d) : p).second)
            return "la description " + citer_utf8(d) + " est donnée deux fois";
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> date_option(const std::string& texte) {
    std::string t = texte;
    if (t.size() == 10) t += " 00:00:00";
    if (t.size() != 19 || !chiffres(t, 0, 2) || t[2] != '/' || !chiffres(t, 3, 2) || t[5] != '/' ||
        !chiffres(t, 6, 4) || t[10] != ' ' || !heure(t.substr(11)))
        return std::nullopt;
    if (!date_civile(nombre(t, 6, 4), nombre(t, 3, 2), nombre(t, 0, 2))) return std::nullopt;
    return t;
}

std::optional<double> pas_option(const std::string& texte) {
    const auto s = heure(texte);
    if (!s) return std::nullopt;
    return *s / jour_en_secondes;
}

std::variant<OptionsLot, int> lire_options(int argc, const char* const* argv, std::ostream& sortie,
                                           std::ostream& erreurs) {
    CLI::App app{
        "tarvo-lot : convertit des fichiers d'enregistreurs en une série régulière, "
        "sans fenêtre.",
        "tarvo-lot"};
    app.get_formatter()->label("Usage", "Utilisation");
    app.get_formatter()->label("OPTIONS", "OPTIONS");
    app.get_formatter()->label("Positionals", "Argument");
    app.get_formatter()->label("REQUIRED", "OBLIGATOIRE");
    app.get_formatter()->column_width(34);
    app.option_defaults()->group("Options");
    app.set_help_flag("-h,--help", "affiche cette aide et s'arrête");
    app.set_version_flag("--version", std::string("tarvo-lot ") + TARVO_VERSION,
                         "affiche la version et s'arrête");
    app.footer(std::string(aide_pied));

    OptionsLot o;
    std::string debut, fin, pas, unite;
    int nombre = 1;
    std::vector<std::string> descriptions;
    app.add_option("DESCRIPTION", descriptions,
                   "le fichier de description (.dsc), ou plusieurs convertis chacun à part")
        ->required()
        ->type_name("");
    app.add_option("--debut", debut, "début de la période (défaut : la date min de la description)")
        ->type_name("\"JJ/MM/AAAA hh:mm:ss\"");
    app.add_option("--fin", fin, "fin de la période (défaut : la date max de la description)")
        ->type_name("\"JJ/MM/AAAA hh:mm:ss\"");
    app.add_option("--pas", pas, "le pas (défaut : le pas de la description)")
        ->type_name("hh:mm:ss");
    app.add_option("--unite", unite,
                   "unité du pas : hms, jour, mois ou annee (défaut : celle de la description)")
        ->type_name("hms|jour|mois|annee");
    app.add_option("--nombre", nombre,
                   "nombre de jours, de mois ou d'années du pas (défaut : celui de la description)")
        ->type_name("N");
    app.add_flag("--test-strict", o.test_strict,
                 "test sur les dates (inf strict) au lieu de celui de la description");
    app.add_option("--decalage-jours", o.decalage_jours,
                   "jours entiers du décalage des dates de mesure (défaut : 0)")
        ->type_name("N");
    app.add_option("--donnees", o.donnees, "remplace le répertoire des données")
        ->type_name("DOSSIER");
    app.add_option("--sortie", o.sortie, "remplace le répertoire de sortie")->type_name("DOSSIER");
    app.add_option("--nom", o.nom, "remplace le nom du fichier résultat")->type_name("NOM");
    app.add_option("--fils", o.fils,
                   "fils de lecture en parallèle (défaut : un par cœur de la machine)")
        ->type_name("N");
    app.add_option("--travaux", o.travaux,
                   "descriptions converties en même temps (défaut : un par cœur de la machine)")
        ->type_name("N");
    // How a child of a call on several descriptions is told which one is its own.
    app.add_option("--rang-description", o.rang)->group("");
    app.add_option("--pid-parent", o.pid_parent)->group("");
    app.add_option("--bloc", o.bloc_ko, "taille des blocs lus, en Ko (défaut : 1024)")
        ->type_name("KO");
    app.add_flag("--oui", o.oui, "répond Oui (ou le premier bouton) à toutes les questions");
    app.add_flag("--silencieux", o.silencieux, "ni barre de progression ni message d'information");
    app.add_flag_callback(
        "--motifs",
        [&] {
            ecrire_motifs(sortie);
            throw CLI::Success();
        },
        "affiche les formats de date et d'heure, chacun avec un exemple réel, et s'arrête");

    const auto usage = [&](const std::string& quoi) {
        erreurs << "tarvo-lot : " << texte_terminal(quoi) << "\n"
                << "Essayer « tarvo-lot --help » pour plus d'informations.\n";
        return sortie_usage;
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        sortie << app.help();
        return sortie_ecrit;
    } catch (const CLI::CallForVersion& v) {
        sortie << v.what() << "\n";
        return sortie_ecrit;
    } catch (const CLI::Success&) {  // --motifs, already printed
        return sortie_ecrit;
    } catch (const CLI::RequiredError&) {
        return usage("il manque le fichier de description (DESCRIPTION.dsc)");
    } catch (const CLI::ExtrasError& e) {
        // What CLI11 lists after its colon is the arguments themselves.
        const std::string quoi = e.what();
        const auto deux_points = quoi.rfind(": ");
        return usage(
            "argument ou option inconnu : " +
            citer_utf8(deux_points == std::string::npos ? quoi : quoi.substr(deux_points + 2)));
    } catch (const CLI::ConversionError& e) {
        // CLI11 says "Could not convert: --nombre = abc"; the user is told in French.
        const std::string quoi = e.what();
        const auto deux_points = quoi.find(": ");
        const std::string option_valeur =
            deux_points == std::string::npos ? std::string() : quoi.substr(deux_points + 2);
        const auto egal = option_valeur.find(" = ");
        if (egal == std::string::npos) return usage("valeur qui n'est pas un nombre entier");
        const std::string valeur = option_valeur.substr(egal + 3);
        // Digits that do not fit are a number all the same: the user is told it is too large.
        const bool chiffres_seuls =
            !valeur.empty() &&
            std::all_of(valeur.begin() + (valeur[0] == '+' ? 1 : 0), valeur.end(),
                        [](char c) { return c >= '0' && c <= '9'; });
        return usage(option_valeur.substr(0, egal) +
                     " attend un nombre entier : " + citer_utf8(valeur) +
                     (chiffres_seuls && valeur != "+" ? " est trop grand" : ""));
    } catch (const CLI::ArgumentMismatch& e) {
        const std::string quoi = e.what();
        const std::string option = quoi.substr(0, quoi.find(':'));
        return usage(quoi.find("At Most") != std::string::npos
                         ? option + " ne peut être donnée qu'une fois"
                         : option + " attend une valeur");
    } catch (const CLI::ParseError&) {
        return usage("option ou valeur incorrecte");
    }

    if (!debut.empty() || app.count("--debut")) {
        o.debut = date_option(debut);
        if (!o.debut) return usage("--debut attend \"JJ/MM/AAAA hh:mm:ss\" : " + citer_utf8(debut));
    }
    if (!fin.empty() || app.count("--fin")) {
        o.fin = date_option(fin);
        if (!o.fin) return usage("--fin attend \"JJ/MM/AAAA hh:mm:ss\" : " + citer_utf8(fin));
    }
    if (app.count("--pas")) {
        o.pas = pas_option(pas);
        if (!o.pas) return usage("--pas attend hh:mm:ss : " + citer_utf8(pas));
    }
    if (app.count("--unite")) {
        static constexpr std::array<std::string_view, 4> unites{"hms", "jour", "mois", "annee"};
        for (std::size_t i = 0; i < unites.size(); ++i)
            if (unite == unites[i]) o.unite = static_cast<int>(i);
        if (!o.unite)
            return usage("--unite attend hms, jour, mois ou annee : " + citer_utf8(unite));
    }
    // The count control of the window goes from 1 to 400.
    if (app.count("--nombre")) {
        if (nombre < 1 || nombre > 400)
            return usage("--nombre attend un nombre entier de 1 à 400 : " + std::to_string(nombre));
        o.nombre = nombre;
    }
    if (o.decalage_jours < 0)
        return usage("--decalage-jours attend un nombre entier positif ou nul : " +
                     std::to_string(o.decalage_jours));
    if (app.count("--fils") && (o.fils < 1 || o.fils > 256))
        return usage("--fils attend un nombre entier de 1 à 256 : " + std::to_string(o.fils));
    if (o.bloc_ko < 4 || o.bloc_ko > 1048576)
        return usage("--bloc attend un nombre entier de Ko de 4 à 1048576 : " +
                     std::to_string(o.bloc_ko));
    if (o.unite.value_or(0) == 0 && o.pas && *o.pas == 0)
        return usage("--pas 00:00:00 : le pas ne peut pas être nul");
    if (app.count("--travaux") && (o.travaux < 1 || o.travaux > 256))
        return usage("--travaux attend un nombre entier de 1 à 256 : " + std::to_string(o.travaux));
    if (auto refus = choisir_descriptions(o, descriptions, app.count("--rang-description") > 0))
        return usage(*refus);
    return o;
}

}  // namespace tarvo
