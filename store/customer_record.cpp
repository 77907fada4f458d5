#include "store/customer_record.h"

#include <cstring>

namespace kova {
namespace {

struct FieldInfo {
  const char* key;
  std::size_t buffer;
  std::size_t capacity;
};

constexpr FieldInfo kFields[CustomerRecord::kFieldCount] = {
    {"Clientes", 100, 49},        {"DataInstalacao", 30, 29}, {"Marca", 30, 29},
    {"Modelo", 30, 29},           {"AnoFabricacao", 30, 29},  {"Placa", 30, 29},
    {"ModeloRedutor", 30, 29},    {"ModeloMisturador", 30, 29},
    {"ObservacoesGerais", 302, 298},
};

}  // namespace

const char* CustomerRecord::Key(Field f) { return kFields[f].key; }
std::size_t CustomerRecord::BufferSize(Field f) { return kFields[f].buffer; }
std::size_t CustomerRecord::Capacity(Field f) { return kFields[f].capacity; }

const char* CustomerRecord::Buffer(Field f) const {
  return const_cast<CustomerRecord*>(this)->Buffer(f);
}

char* CustomerRecord::Buffer(Field f) {
  switch (f) {
    case kClientes: return clientes_;
    case kDataInstalacao: return data_instalacao_;
    case kMarca: return marca_;
    case kModelo: return modelo_;
    case kAnoFabricacao: return ano_fabricacao_;
    case kPlaca: return placa_;
    case kModeloRedutor: return modelo_redutor_;
    case kModeloMisturador: return modelo_misturador_;
    default: return observacoes_gerais_;
  }
}

std::string_view CustomerRecord::Get(Field f) const {
  const char* b = Buffer(f);
  return std::string_view(b, strnlen(b, BufferSize(f)));
}

void CustomerRecord::Set(Field f, std::string_view text) {
  static_assert(sizeof(clientes_) == 100 && sizeof(observacoes_gerais_) == 302);
  char* b = Buffer(f);
  std::size_t n = text.size() < Capacity(f) ? text.size() : Capacity(f);
  std::memset(b, 0, BufferSize(f));
  std::memcpy(b, text.data(), n);
}

void CustomerRecord::Clear() {
  for (int f = 0; f < kFieldCount; ++f) Set(static_cast<Field>(f), {});
  changed = false;
}

std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = '-';
  return out;
}

}  // namespace kova
