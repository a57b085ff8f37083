#include "app/FeatureCatalog.h"

namespace mirlet {

const std::vector<FeaturePresentation>& standardCatalog() {
  static const FeatureCategory windows{"windows", "Ventanas", "macwindow"};
  static const FeatureCategory files{"files", "Archivos", "folder"};
  static const FeatureCategory clipboard{"clipboard", "Portapapeles", "doc.on.clipboard"};
  static const std::vector<FeaturePresentation> catalog{
      {
          FeatureIds::rightClickFocus,
          "Activar ventanas con clic derecho",
          "Haz clic derecho sobre otra ventana para activarla y abrir su menú.",
          "En macOS\nHacer clic derecho en una ventana que no estás usando puede abrir su menú "
          "sin activar esa ventana.\n\nComo en Windows\nMirlet activa la ventana con el mismo "
          "clic derecho que abre su menú. Así no necesitas hacer clic izquierdo primero.\n\nTen "
          "en cuenta\nSi mueves el puntero y haces clic muy rápido, puede que tengas que "
          "repetirlo. Si la ventana cambia o desaparece, Mirlet no enviará el clic a otra "
          "ventana. No todas las ventanas son compatibles.",
          "cursorarrow.click.2",
          windows,
          "Usa Accesibilidad para activar la ventana que está bajo el puntero.",
      },
      {
          FeatureIds::finderCut,
          "Cortar y pegar en Finder",
          "Selecciona archivos o carpetas, pulsa ⌘X y luego ⌘V donde quieras moverlos.",
          "En macOS\nFinder no permite cortar archivos con ⌘X. Para moverlos con el teclado, "
          "debes copiarlos con ⌘C y usar ⌥⌘V en el destino.\n\nComo en Windows\nEn el "
          "Explorador de archivos usas Ctrl+X para cortar y Ctrl+V para pegar. Mirlet trae esa "
          "misma forma de mover archivos a Finder, usando ⌘X y ⌘V.\n\nTen en cuenta\nLos "
          "archivos se quedan donde están hasta que los pegues. Puedes cambiar a otra app antes "
          "de pegar; el corte sigue preparado. Pulsa Esc en Finder para cancelarlo. Copiar otra "
          "cosa también lo cancela.\n\nSolo funciona con archivos y carpetas en Finder. Al "
          "escribir o renombrar, los atajos siguen funcionando como siempre.\n\nMirlet no "
          "cambia tus atajos. Si otra app usa ⌘X o ⌘V como atajo global, puede interferir "
          "aunque estés en Finder.",
          "scissors",
          files,
          "Usa Accesibilidad para recibir ⌘X y ⌘V en Finder y comprobar tu selección.",
      },
      {
          FeatureIds::finderKeys,
          "Teclas de Windows en Finder",
          "Enter abre, F2 renombra y Supr manda a la Papelera, como en el Explorador de "
          "archivos.",
          "En macOS\nEn Finder, Enter cambia el nombre del archivo y ni F2 ni Supr hacen nada. "
          "Para abrir se usa ⌘↓ y para mandar a la Papelera, ⌘⌫.\n\nComo en Windows\nEnter "
          "abre el archivo o entra en la carpeta, F2 cambia el nombre y Supr manda lo "
          "seleccionado a la Papelera. Puedes desmarcar cualquiera de las tres.\n\nTen en "
          "cuenta\nSolo funciona en la lista de archivos de Finder. Al escribir, renombrar o "
          "buscar, las teclas funcionan como siempre.\n\nEn los teclados de Mac, F2 sube el "
          "brillo: pulsa Fn+F2 o usa las teclas de función como estándar. En los portátiles, "
          "Supr es Fn+⌫.\n\nSupr no borra nada definitivamente: lo que mandes a la Papelera se "
          "puede recuperar. Con varias carpetas seleccionadas, Enter abre una ventana por "
          "carpeta.\n\nMirlet usa ⌘↓ y ⌘⌫ de Finder. Si cambiaste esos atajos, las teclas "
          "harán lo que configuraste.",
          "keyboard",
          files,
          "Usa Accesibilidad para recibir Enter, F2 y Supr en Finder.",
      },
      {
          FeatureIds::clipboardHistory,
          "Historial del portapapeles",
          "Pulsa ⌃⌥V para ver lo que copiaste y pegarlo donde estás escribiendo, como con "
          "Windows + V.",
          "En macOS\nEl portapapeles solo guarda lo último que copiaste: al copiar algo nuevo, "
          "lo anterior se pierde.\n\nComo en Windows\nWindows + V abre el Historial del "
          "Portapapeles. En Mirlet lo abres con ⌃⌥V, o con el atajo que elijas aquí: aparece "
          "un panel con lo que copiaste (texto, enlaces, imágenes, archivos y más). Por "
          "ejemplo, estás escribiendo un correo, pulsas ⌃⌥V, eliges un elemento con las "
          "flechas y ↩, y aparece en el correo donde estaba el cursor.\n\nTen en cuenta\nPara "
          "pegar donde estabas escribiendo, Mirlet necesita el permiso de Accesibilidad. Sin "
          "él, el elemento se copia y lo pegas tú con ⌘V.\n\nEl historial se guarda solo en "
          "este Mac, sin cuenta ni servicios externos, y se conserva aunque apagues la "
          "utilidad. Los elementos que marques como Favoritos o guardes en una lista no caducan "
          "ni se borran al vaciar el historial.\n\nLas contraseñas que los gestores marcan "
          "como ocultas no se guardan, salvo que lo permitas en Más opciones; en ese caso "
          "quedan cifradas y ocultas hasta que mantienes ⌥. Algunas apps no marcan su "
          "contenido: si vas a copiar algo delicado, pausa el historial desde la barra de "
          "menú.\n\nMirlet revisa el portapapeles cada medio segundo. Si copias dos veces "
          "seguidas muy rápido, solo se guarda la última. Otro gestor del portapapeles puede "
          "estar abierto a la vez.",
          "list.bullet.clipboard",
          clipboard,
          "Accesibilidad es opcional: con ella, Mirlet pega por ti donde estabas escribiendo.",
      },
  };
  return catalog;
}

}  // namespace mirlet
