// The customer record: nine texts about who the installation was made for
// and on which vehicle, kept in the parameter file's customer section.
// Texts are Windows-1252 bytes in fixed buffers; a longer text is cut to the
// field's capacity, never written past it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kova {

class CustomerRecord {
 public:
  enum Field {
    kClientes,
    kDataInstalacao,
    kMarca,
    kModelo,
    kAnoFabricacao,
    kPlaca,
    kModeloRedutor,
    kModeloMisturador,
    kObservacoesGerais,
    kFieldCount
  };

  // The parameter-file key of a field; fields are numbered in file order.
  static const char* Key(Field f);
  // Bytes of the field's buffer, terminator included (100, 30 or 302).
  static std::size_t BufferSize(Field f);
  // Characters the field keeps (49, 29 or 298).
  static std::size_t Capacity(Field f);

  std::string_view Get(Field f) const;
  // Stores text cut to the field's capacity.
  void Set(Field f, std::string_view text);
  void Clear();

  // Set when a box of the customer screen changed the record; cleared by a save.
  bool changed = false;

 private:
  char* Buffer(Field f);
  const char* Buffer(Field f) const;

  char clientes_[100] = {};
  char data_instalacao_[30] = {};
  char marca_[30] = {};
  char modelo_[30] = {};
  char ano_fabricacao_[30] = {};
  char placa_[30] = {};
  char modelo_redutor_[30] = {};
  char modelo_misturador_[30] = {};
  char observacoes_gerais_[302] = {};
};

// Line breaks of the observations become "-", so the value stays on one
// line of the file.
std::string OneLine(std::string_view text);

}  // namespace kova
