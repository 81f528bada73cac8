#include "shape_files.h"

#include <charconv>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

#include "bench_random.h"

namespace vx::bench {
namespace {

// Writes JSON text item by item: a comma between items and, down to a
// given level of nesting, each item on a line of its own, indented by two
// spaces a level. Deeper levels are written compact.
class TTextWriter {
 public:
  explicit TTextWriter(size_t linedLevels) : FLinedLevels(linedLevels) {}

  void Open(char bracket) {
    BeginItem();
    FText += bracket;
    FEmpty.push_back(true);
  }
  void Close(char bracket) {
    const bool empty = FEmpty.back();
    FEmpty.pop_back();
    if (!empty && FEmpty.size() < FLinedLevels) NewLine();
    FText += bracket;
  }
  // A member's name; its value follows.
  void Key(std::string_view name) {
    BeginItem();
    FText += '"';
    FText += name;
    FText += FEmpty.size() <= FLinedLevels ? "\": " : "\":";
    FAfterKey = true;
  }
  // A string whose inner text is already valid JSON.
  void Text(std::string_view escaped) {
    BeginItem();
    FText += '"';
    FText += escaped;
    FText += '"';
  }
  // A number, true, false or null as it is written.
  void Literal(std::string_view text) {
    BeginItem();
    FText += text;
  }
  void Integer(int64_t value) {
    char buffer[24];
    Literal(std::string_view(buffer, static_cast<size_t>(std::to_chars(buffer, buffer + 24, value).ptr - buffer)));
  }
  void Boolean(bool value) { Literal(value ? "true" : "false"); }
  // With 17 significant digits, which read back as the same double
  // whatever it is: -65.613617 is written -65.613616999999977.
  void Float(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + 32, value, std::chars_format::general, 17).ptr;
    Literal(std::string_view(buffer, static_cast<size_t>(end - buffer)));
  }

  size_t Size() const { return FText.size(); }
  std::string Take() {
    FText += '\n';
    return std::move(FText);
  }

 private:
  void BeginItem() {
    if (FAfterKey) {
      FAfterKey = false;
      return;
    }
    if (FEmpty.empty()) return;
    if (!FEmpty.back()) FText += ',';
    FEmpty.back() = false;
    if (FEmpty.size() <= FLinedLevels) NewLine();
  }
  void NewLine() {
    FText += '\n';
    FText.append(2 * FEmpty.size(), ' ');
  }

  std::string FText;
  std::vector<bool> FEmpty;  // per open level: no item in it yet
  bool FAfterKey = false;
  const size_t FLinedLevels;
};

constexpr size_t kEveryLevel = SIZE_MAX;

// Every document's first member.
void WriteEmptyOrder(TTextWriter& writer) {
  writer.Key("Order");
  writer.Open('[');
  writer.Open('{');
  writer.Key("Adress");
  writer.Open('[');
  writer.Open('{');
  writer.Close('}');
  writer.Close(']');
  writer.Key("Parts");
  writer.Open('[');
  writer.Close(']');
  writer.Close('}');
  writer.Close(']');
}

template <size_t N>
const char* Pick(TRandom& random, const char* const (&choices)[N]) {
  return choices[random.Below(static_cast<int>(N))];
}

// A number of up to 18 digits from two draws.
int64_t Id(TRandom& random, int64_t base, int64_t range) {
  const uint64_t draw = (static_cast<uint64_t>(random.Next()) << 32) | random.Next();
  return base + static_cast<int64_t>(draw % static_cast<uint64_t>(range));
}

// Numbers

// A ring walks around its start in steps of up to 0.02 degrees, kept in
// millionths of a degree, as surveyed borders are.
void WriteRing(TTextWriter& writer, TRandom& random, int points) {
  int64_t longitude = -141000000 + random.Below(89000000);
  int64_t latitude = 42000000 + random.Below(41000000);
  writer.Open('[');
  for (int i = 0; i < points; ++i) {
    writer.Open('[');
    writer.Float(static_cast<double>(longitude) / 1e6);
    writer.Float(static_cast<double>(latitude) / 1e6);
    writer.Close(']');
    longitude += random.Below(40001) - 20000;
    latitude += random.Below(40001) - 20000;
  }
  writer.Close(']');
}

}  // namespace

std::string MakeNumbersText() {
  constexpr size_t kSize = 2250000;
  TRandom random(1);
  // Down to the list of rings: each ring on a line of its own.
  TTextWriter writer(5);
  writer.Open('{');
  WriteEmptyOrder(writer);
  writer.Key("type");
  writer.Text("FeatureCollection");
  writer.Key("features");
  writer.Open('[');
  for (int feature = 1; writer.Size() < kSize; ++feature) {
    writer.Open('{');
    writer.Key("type");
    writer.Text("Feature");
    writer.Key("properties");
    writer.Open('{');
    writer.Key("name");
    writer.Text("Region " + std::to_string(feature));
    writer.Close('}');
    writer.Key("geometry");
    writer.Open('{');
    writer.Key("type");
    writer.Text("Polygon");
    writer.Key("coordinates");
    writer.Open('[');
    for (int ring = 1 + random.Below(4); ring > 0; --ring) WriteRing(writer, random, 50 + random.Below(2000));
    writer.Close(']');
    writer.Close('}');
    writer.Close('}');
  }
  writer.Close(']');
  writer.Close('}');
  return writer.Take();
}

// Catalog

namespace {

const char* const kVenues[] = {"PLEYEL_PLEYEL", "OPERA_BASTILLE", "CHATELET", "GAVEAU", "ZENITH"};
const char* const kEventNames[] = {"Orchestre de Paris", "Quatuor Ebene", "Concert du Nouvel An", "Carmen",
                                   "Recital piano", "Jazz a Pleyel", "La Boheme", "Ballet", "Requiem"};

void WriteIntegers(TTextWriter& writer, TRandom& random, int count, int64_t base, int64_t range) {
  writer.Open('[');
  for (int i = 0; i < count; ++i) writer.Integer(Id(random, base, range));
  writer.Close(']');
}

void WriteEvent(TTextWriter& writer, TRandom& random, int64_t id) {
  writer.Key(std::to_string(id));
  writer.Open('{');
  writer.Key("desc");
  writer.Literal("null");
  writer.Key("id");
  writer.Integer(id);
  writer.Key("logo");
  if (random.Below(3) == 0) {
    writer.Text("/images/UE0AAAAACEK" + std::to_string(random.Below(100000)));
  } else {
    writer.Literal("null");
  }
  writer.Key("name");
  writer.Text(Pick(random, kEventNames));
  writer.Key("subTopics");
  WriteIntegers(writer, random, 1 + random.Below(3), 337184000, 1000);
  writer.Key("subtitle");
  writer.Literal("null");
  writer.Key("topics");
  WriteIntegers(writer, random, 1 + random.Below(3), 107888000, 300000000);
  writer.Close('}');
}

void WritePerformance(TTextWriter& writer, TRandom& random, int64_t eventId) {
  writer.Open('{');
  writer.Key("event");
  writer.Integer(eventId);
  writer.Key("id");
  writer.Integer(Id(random, 339887000, 1000000));
  writer.Key("logo");
  writer.Literal("null");
  writer.Key("name");
  writer.Literal("null");
  writer.Key("prices");
  writer.Open('[');
  for (int price = 1 + random.Below(4); price > 0; --price) {
    writer.Open('{');
    writer.Key("amount");
    writer.Integer(500 * (10 + random.Below(300)));
    writer.Key("audience");
    writer.Integer(337100890);
    writer.Key("seat");
    writer.Integer(Id(random, 338937000, 1000));
    writer.Close('}');
  }
  writer.Close(']');
  writer.Key("seats");
  writer.Open('[');
  for (int seat = 1 + random.Below(3); seat > 0; --seat) {
    writer.Open('{');
    writer.Key("areas");
    writer.Open('[');
    for (int area = 1 + random.Below(5); area > 0; --area) {
      writer.Open('{');
      writer.Key("id");
      writer.Integer(Id(random, 205705990, 100));
      writer.Key("blocks");
      writer.Open('[');
      writer.Close(']');
      writer.Close('}');
    }
    writer.Close(']');
    writer.Key("id");
    writer.Integer(Id(random, 338937000, 1000));
    writer.Close('}');
  }
  writer.Close(']');
  writer.Key("map");
  writer.Literal("null");
  writer.Key("start");
  writer.Integer(1372701600000 + 3600000 * static_cast<int64_t>(random.Below(20000)));
  writer.Key("venue");
  writer.Text(Pick(random, kVenues));
  writer.Close('}');
}

// A member per name, from its id to its text.
void WriteNames(TTextWriter& writer, const char* key, const char* const* names, size_t count, int64_t firstId) {
  writer.Key(key);
  writer.Open('{');
  for (size_t i = 0; i < count; ++i) {
    writer.Key(std::to_string(firstId + static_cast<int64_t>(i)));
    writer.Text(names[i]);
  }
  writer.Close('}');
}

}  // namespace

std::string MakeCatalogText() {
  constexpr size_t kSize = 1700000;
  constexpr int kEvents = 180;
  TRandom random(2);
  TTextWriter writer(kEveryLevel);
  writer.Open('{');
  WriteEmptyOrder(writer);
  static const char* const kAreas[] = {"Arri\xc3\xa8re-sc\xc3\xa8ne central", "1er balcon central",
                                       "2\xc3\xa8me balcon bergerie cour", "Parterre", "Loge"};
  WriteNames(writer, "areas", kAreas, std::size(kAreas), 205705993);
  std::vector<int64_t> eventIds;
  writer.Key("events");
  writer.Open('{');
  for (int i = 0; i < kEvents; ++i) {
    eventIds.push_back(Id(random, 138586341, 300000000));
    WriteEvent(writer, random, eventIds.back());
  }
  writer.Close('}');
  writer.Key("performances");
  writer.Open('[');
  while (writer.Size() < kSize) WritePerformance(writer, random, eventIds[static_cast<size_t>(random.Below(kEvents))]);
  writer.Close(']');
  WriteNames(writer, "venues", kVenues, std::size(kVenues), 1);
  writer.Close('}');
  return writer.Take();
}

// Feed

namespace {

// Grüße, Straße, schön, Mädchen, Übung, café, élève, déjà, garçon, 東京,
// 今日は, ありがとう, 天気, 写真, 大阪, 😀, 🎉, and plain words.
const char* const kFeedWords[] = {
    "Gr\xc3\xbc\xc3\x9f" "e", "Stra\xc3\x9f" "e", "sch\xc3\xb6n", "M\xc3\xa4" "dchen", "\xc3\x9c" "bung",
    "caf\xc3\xa9", "\xc3\xa9l\xc3\xa8ve", "d\xc3\xa9j\xc3\xa0", "gar\xc3\xa7on", "\xe6\x9d\xb1\xe4\xba\xac",
    "\xe4\xbb\x8a\xe6\x97\xa5\xe3\x81\xaf", "\xe3\x81\x82\xe3\x82\x8a\xe3\x81\x8c\xe3\x81\xa8\xe3\x81\x86",
    "\xe5\xa4\xa9\xe6\xb0\x97", "\xe5\x86\x99\xe7\x9c\x9f", "\xe5\xa4\xa7\xe9\x98\xaa", "\xf0\x9f\x98\x80",
    "\xf0\x9f\x8e\x89", "the", "new", "photo", "today", "with", "and", "morning", "live", "update", "#news",
    "@friend", "http://t.co/xYz12", "of", "a", "is", "great", "\\\"quoted\\\"", "line\\nbreak", "we", "see"};
// Zürich, Köln, München, Montréal, 東京, 大阪, São Paulo.
const char* const kPlaces[] = {"Z\xc3\xbcrich", "K\xc3\xb6ln", "M\xc3\xbcnchen", "Montr\xc3\xa9" "al",
                               "\xe6\x9d\xb1\xe4\xba\xac", "\xe5\xa4\xa7\xe9\x98\xaa", "S\xc3\xa3o Paulo"};
const char* const kLanguages[] = {"de", "fr", "ja", "en"};
const char* const kSources[] = {"<a href=\\\"http://twitter.com\\\" rel=\\\"nofollow\\\">Web</a>",
                                "<a href=\\\"http://twitter.com/download/iphone\\\" rel=\\\"nofollow\\\">iPhone</a>"};

std::string FeedWords(TRandom& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += Pick(random, kFeedWords);
  }
  return text;
}

void WriteIdPair(TTextWriter& writer, const char* key, const char* textKey, int64_t id) {
  writer.Key(key);
  writer.Integer(id);
  writer.Key(textKey);
  writer.Text(std::to_string(id));
}

void WriteUser(TTextWriter& writer, TRandom& random) {
  writer.Key("user");
  writer.Open('{');
  WriteIdPair(writer, "id", "id_str", Id(random, 1000000, 3000000000));
  writer.Key("name");
  writer.Text(FeedWords(random, 2));
  writer.Key("screen_name");
  writer.Text("user" + std::to_string(random.Below(1000000)));
  writer.Key("location");
  writer.Text(Pick(random, kPlaces));
  writer.Key("description");
  writer.Text(FeedWords(random, 6 + random.Below(12)));
  writer.Key("url");
  writer.Literal("null");
  writer.Key("protected");
  writer.Boolean(false);
  writer.Key("followers_count");
  writer.Integer(random.Below(100000));
  writer.Key("friends_count");
  writer.Integer(random.Below(5000));
  writer.Key("created_at");
  writer.Text("Sun Aug 31 00:29:15 +0000 2014");
  writer.Key("utc_offset");
  if (random.Below(2) == 0) {
    writer.Integer(3600 * (random.Below(24) - 11));
  } else {
    writer.Literal("null");
  }
  writer.Key("geo_enabled");
  writer.Boolean(random.Below(2) == 0);
  writer.Key("verified");
  writer.Boolean(random.Below(20) == 0);
  writer.Key("lang");
  writer.Text(Pick(random, kLanguages));
  writer.Key("following");
  writer.Boolean(false);
  writer.Close('}');
}

void WriteEntities(TTextWriter& writer, TRandom& random) {
  writer.Key("entities");
  writer.Open('{');
  writer.Key("hashtags");
  writer.Open('[');
  writer.Close(']');
  writer.Key("user_mentions");
  writer.Open('[');
  for (int mention = random.Below(3); mention > 0; --mention) {
    writer.Open('{');
    writer.Key("screen_name");
    writer.Text("user" + std::to_string(random.Below(1000000)));
    WriteIdPair(writer, "id", "id_str", Id(random, 1000000, 3000000000));
    writer.Key("indices");
    writer.Open('[');
    writer.Integer(3);
    writer.Integer(13);
    writer.Close(']');
    writer.Close('}');
  }
  writer.Close(']');
  writer.Close('}');
}

// A message; a retweet holds the message it repeats, one level deeper.
void WriteStatus(TTextWriter& writer, TRandom& random, bool mayRepeat) {
  writer.Open('{');
  writer.Key("metadata");
  writer.Open('{');
  writer.Key("result_type");
  writer.Text("recent");
  writer.Key("iso_language_code");
  writer.Text(Pick(random, kLanguages));
  writer.Close('}');
  writer.Key("created_at");
  writer.Text("Sun Aug 31 00:29:15 +0000 2014");
  WriteIdPair(writer, "id", "id_str", Id(random, 500000000000000000, 9000000000000000));
  writer.Key("text");
  writer.Text(FeedWords(random, 5 + random.Below(20)));
  writer.Key("source");
  writer.Text(Pick(random, kSources));
  writer.Key("truncated");
  writer.Boolean(false);
  writer.Key("in_reply_to_status_id");
  if (random.Below(4) == 0) {
    writer.Integer(Id(random, 500000000000000000, 9000000000000000));
  } else {
    writer.Literal("null");
  }
  WriteUser(writer, random);
  writer.Key("geo");
  writer.Literal("null");
  writer.Key("place");
  writer.Literal("null");
  if (mayRepeat && random.Below(3) == 0) {
    writer.Key("retweeted_status");
    WriteStatus(writer, random, false);
  }
  writer.Key("retweet_count");
  writer.Integer(random.Below(500));
  writer.Key("favorite_count");
  writer.Integer(random.Below(500));
  WriteEntities(writer, random);
  writer.Key("favorited");
  writer.Boolean(false);
  writer.Key("retweeted");
  writer.Boolean(false);
  writer.Key("lang");
  writer.Text(Pick(random, kLanguages));
  writer.Close('}');
}

}  // namespace

std::string MakeFeedText() {
  constexpr size_t kSize = 630000;
  TRandom random(3);
  TTextWriter writer(kEveryLevel);
  writer.Open('{');
  WriteEmptyOrder(writer);
  writer.Key("statuses");
  writer.Open('[');
  while (writer.Size() < kSize) WriteStatus(writer, random, true);
  writer.Close(']');
  writer.Key("search_metadata");
  writer.Open('{');
  writer.Key("count");
  writer.Integer(100);
  writer.Key("next_results");
  writer.Text("?max_id=505874847260352512&q=%E4%B8%80&count=100&include_entities=1");
  writer.Close('}');
  writer.Close('}');
  return writer.Take();
}

}  // namespace vx::bench
