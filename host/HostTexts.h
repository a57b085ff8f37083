#pragma once

#include <string_view>

namespace mirlet {

// The fixed texts that name the desktop the program runs on: as on the Mac, where
// they come from, or as on a Linux desktop. Every other text is the same on both.
struct HostTexts {
  std::string_view loginDisabled;
  std::string_view loginEnabled;
  std::string_view loginRequiresApproval;
  std::string_view loginNotFound;
  std::string_view accessibilitySettingsUnavailable;
  std::string_view loginChangeFailed;
  std::string_view permissionNotGranted;  // the result of a check
  std::string_view openSystemSettings;
  std::string_view waitingForPermission;
  std::string_view settingsStayHere;
  std::string_view welcomeTitle;
  std::string_view hotKeyUnavailable;
  std::string_view hotKeyReserved;
  // The clipboard history's summary and details, where they differ from the
  // catalogue's (empty: the catalogue's own).
  std::string_view clipboardSummary;
  std::string_view clipboardDetails;
  // The first-run steps: what asks for a permission, and where the program stays.
  std::string_view welcomePermissions;
  std::string_view keepsRunning;

  static const HostTexts mac;
  static const HostTexts linuxDesktop;
};

inline constexpr HostTexts HostTexts::mac{
    "Abre Mirlet automáticamente cuando entres a tu Mac.",
    "Mirlet se abrirá automáticamente cuando entres a tu Mac.",
    "Falta aprobación en Ajustes del Sistema.",
    "macOS aún no confirma el registro. Activa la opción para intentarlo.",
    "No se pudieron abrir los ajustes. Abre Ajustes del Sistema, Privacidad y seguridad, "
    "Accesibilidad.",
    "No se pudo cambiar el inicio automático. Comprueba el estado en Ajustes del Sistema e "
    "inténtalo de nuevo.",
    "Comprobación completada. macOS aún no le da acceso a Mirlet.",
    "Abrir Ajustes del Sistema…",
    "Esperando el permiso. Actívalo en Ajustes del Sistema y Mirlet lo detectará solo.",
    "No necesitas una cuenta. Tus ajustes se guardan en este Mac.",
    "Pequeños ajustes. Un Mac más cómodo.",
    "macOS no permitió registrar este atajo. Prueba con otro. El panel sigue disponible desde "
    "el menú de la barra.",
    "macOS usa esa combinación. Elige otra.",
    {},
    {},
    "Si una utilidad necesita el permiso de Accesibilidad, te lo pediremos cuando la actives.",
    "Puedes cerrar esta ventana. Mirlet seguirá funcionando en la barra de menú.",
};

inline constexpr HostTexts HostTexts::linuxDesktop{
    "Abre Mirlet automáticamente cuando inicies sesión.",
    "Mirlet se abrirá automáticamente cuando inicies sesión.",
    "Falta aprobación en los ajustes del escritorio.",
    "El escritorio aún no confirma el registro. Activa la opción para intentarlo.",
    "Este escritorio no tiene ajustes de accesibilidad para Mirlet: pegar por ti necesita "
    "una sesión X11 con la extensión XTest.",
    "No se pudo cambiar el inicio automático. Comprueba la carpeta de inicio automático e "
    "inténtalo de nuevo.",
    "Comprobación completada. Esta sesión no deja que Mirlet escriba por ti.",
    "Abrir los ajustes del escritorio…",
    "Esperando el permiso. Mirlet lo detectará solo cuando esta sesión lo permita.",
    "No necesitas una cuenta. Tus ajustes se guardan en este ordenador.",
    "Pequeños ajustes. Un escritorio más cómodo.",
    "El escritorio no permitió registrar este atajo. Prueba con otro. El panel sigue disponible "
    "desde el menú de la barra.",
    "El escritorio usa esa combinación. Elige otra.",
    "Pulsa Ctrl+Alt+V para ver lo que copiaste y pegarlo donde estás escribiendo, como con "
    "Windows + V.",
    "En Linux\nEl portapapeles solo guarda lo último que copiaste, y se vacía cuando cierras la "
    "app de la que lo copiaste.\n\nComo en Windows\nWindows + V abre el Historial del "
    "Portapapeles. En Mirlet lo abres con Ctrl+Alt+V, o con el atajo que elijas aquí: aparece un "
    "panel con lo que copiaste (texto, enlaces, imágenes, archivos y más). Por ejemplo, estás "
    "escribiendo un correo, pulsas Ctrl+Alt+V, eliges un elemento con las flechas e Intro, y "
    "aparece en el correo donde estaba el cursor.\n\nTen en cuenta\nMirlet pega por ti "
    "escribiendo Ctrl+V (Ctrl+Mayús+V en los terminales) en la app donde estabas; para eso "
    "necesita una sesión X11.\n\nEl historial se guarda solo en este ordenador, sin cuenta ni "
    "servicios externos, y se conserva aunque apagues la utilidad. Los elementos que marques "
    "como Favoritos o guardes en una lista no caducan ni se borran al vaciar el historial.\n\n"
    "Las contraseñas que los gestores marcan como ocultas no se guardan, salvo que lo permitas "
    "en Más opciones; en ese caso quedan cifradas y ocultas hasta que mantienes Alt. Algunas "
    "apps no marcan su contenido: si vas a copiar algo delicado, pausa el historial desde la "
    "bandeja del sistema.\n\nMirlet ve cada copia en el momento. Cuando la app de la que "
    "copiaste se cierra y el portapapeles se vacía, Mirlet vuelve a poner en él lo último que "
    "copiaste (nunca algo privado).",
    "Lo que ofrece este escritorio funciona sin pedirte ningún permiso.",
    "Puedes cerrar esta ventana. Mirlet seguirá funcionando en la bandeja del sistema.",
};

}  // namespace mirlet
