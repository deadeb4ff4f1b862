// Uses the installed library: version, plug-in beside the library, an atom
// stream and an enumeration.
#include <orbcmn/orbcmn.h>

#include <cstdio>

int main() {
  CommonInitialize();
  bool plugin = CommonPluginState()->normalize != nullptr;
  ZAtomBuffer stream;
  stream.AppendAtom(1, 5, 300UL);
  ZAtomTable table;
  ZAtom* atom = table.AddAtomA(1, 2, 3, ZString("Style"));
  ZEnum* e = atom->AddEnum(1, ZEnum::eBitFlags);
  e->AddItem(ZString("bold"), 1);
  e->AddItem(ZString("italic"), 2);
  ZString text = e->Lookup(3UL);
  std::printf("%s|%s|%u bytes|%s|%s\n", CommonGetVersion(), plugin ? "plug-in" : "no plug-in",
              stream.GetLength(), static_cast<const char*>(atom->GetName()),
              static_cast<const char*>(text));
  CommonTerminate();
  return 0;
}
