// Opening the user manual, a PDF kept beside the program, with the desktop's viewer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Dialogue;
class Lanceur;

inline constexpr std::string_view nom_manuel = "Pelmo_manuel.pdf";
// The pages of the manual's chapter "Versions" alone, built with the manual and kept beside it.
inline constexpr std::string_view nom_manuel_versions = "Pelmo_manuel_versions.pdf";

// Where the manual (or the file `nom` kept beside it) may be, in the order it is looked
// for: the program directory, the executable's directory when it is another one (both
// Windows-1252 texts), then ../share/doc/tarvo/ of an installed executable. Directories
// are given with or without their final "/"; duplicates are dropped.
std::vector<std::string> chemins_manuel(std::string_view dossier_programme,
                                        std::string_view dossier_executable,
                                        std::string_view nom = nom_manuel);

// The same for this process (directories as dossier_programme and the running executable).
std::vector<std::string> chemins_manuel_du_programme(std::string_view nom = nom_manuel);

// Opens the first candidate that exists. None: "<" + first candidate + "> introuvable";
// no viewer could open it: "Firefox et Acrobat introuvables" and the manual's full path. True when
// a viewer started.
bool ouvrir_manuel(Lanceur& lanceur, Dialogue& dialogue, const std::vector<std::string>& candidats);

}  // namespace tarvo
