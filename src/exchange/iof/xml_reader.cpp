#include "exchange/iof/xml_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include "exchange/iof/iof_text.h"

namespace olbrax::iof {

namespace {

constexpr std::string_view kMessageRoots[] = {"OrganisationList", "ClassList",  "CourseData", "EntryList",
                                              "StartList",        "ResultList", "EventList",  "CompetitorList",
                                              "ServiceRequestList", "ControlCardList"};

std::string Std(const QStringView v) { return v.toString().toStdString(); }

// Reads the element the reader stands on (its start tag) to its end tag.
bool ReadElement(QXmlStreamReader& xml, XmlElement& e, int depth, Text& error) {
  if (depth > kMaxDepth) {
    error = "Elementen \xE4r n\xE4stlade djupare \xE4n " + std::to_string(kMaxDepth) + " niv\xE5" "er";
    return false;
  }
  e.name = Std(xml.name());
  for (const QXmlStreamAttribute& a : xml.attributes()) e.attributes.emplace_back(Std(a.name()), Std(a.value()));
  while (!xml.atEnd()) {
    switch (xml.readNext()) {
      case QXmlStreamReader::StartElement: {
        e.children.emplace_back();
        if (!ReadElement(xml, e.children.back(), depth + 1, error)) return false;
        break;
      }
      case QXmlStreamReader::Characters: e.text += Std(xml.text()); break;
      case QXmlStreamReader::EndElement: {
        // Surrounding blanks of a value are layout, not data.
        auto first = e.text.find_first_not_of(" \t\r\n");
        e.text = first == std::string::npos ? std::string() : e.text.substr(first, e.text.find_last_not_of(" \t\r\n") - first + 1);
        return true;
      }
      case QXmlStreamReader::DTD:
      case QXmlStreamReader::EntityReference:
        error = "Filen inneh\xE5ller en dokumenttypdeklaration eller entitetsreferens, som inte l\xE4ses";
        return false;
      default: break;
    }
  }
  return !xml.hasError();
}

Text ParseError(const QXmlStreamReader& xml) {
  return "Felaktig XML p\xE5 rad " + std::to_string(xml.lineNumber()) + ": " +
         FromXml(xml.errorString().toStdString()).text;
}

}  // namespace

const XmlElement* XmlElement::Child(std::string_view child_name) const {
  for (const XmlElement& c : children)
    if (c.name == child_name) return &c;
  return nullptr;
}

std::string XmlElement::ChildText(std::string_view child_name) const {
  const XmlElement* c = Child(child_name);
  return c ? c->text : std::string();
}

std::string XmlElement::Attribute(std::string_view attribute_name) const {
  for (const auto& [n, v] : attributes)
    if (n == attribute_name) return v;
  return {};
}

std::vector<const XmlElement*> XmlElement::All(std::string_view child_name) const {
  std::vector<const XmlElement*> out;
  for (const XmlElement& c : children)
    if (c.name == child_name) out.push_back(&c);
  return out;
}

bool IsImportedRoot(std::string_view root) {
  return root == "OrganisationList" || root == "ClassList" || root == "CourseData" || root == "EntryList";
}

bool ReadIofMessage(std::string_view path, IofMessage& message,
                    const std::function<void(const XmlElement&)>& on_record, Text& error) {
  QString name = QString::fromStdString(Utf8FromWin(path));
  QFileInfo info(name);
  if (!info.exists() || !info.isFile()) {
    error = "Filen finns inte";
    return false;
  }
  if (info.size() > kMaxIofFileBytes) {
    error = "Filen \xE4r f\xF6r stor (" + std::to_string(info.size() / (1024 * 1024)) + " MB); h\xF6gst " +
            std::to_string(kMaxIofFileBytes / (1024 * 1024)) + " MB l\xE4ses";
    return false;
  }
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) {
    error = "Filen kan inte l\xE4sas: " + FromXml(file.errorString().toStdString()).text;
    return false;
  }
  QXmlStreamReader xml(&file);
  // No document type declaration is accepted (below); should one slip through, nothing of its
  // entities is expanded beyond a few characters.
  xml.setEntityExpansionLimit(64);
  while (!xml.atEnd()) {
    QXmlStreamReader::TokenType t = xml.readNext();
    if (t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference) {
      error = "Filen inneh\xE5ller en dokumenttypdeklaration, som inte l\xE4ses";
      return false;
    }
    if (t == QXmlStreamReader::StartElement) break;
  }
  if (xml.hasError() || !xml.isStartElement()) {
    error = xml.hasError() ? ParseError(xml) : Text("Filen inneh\xE5ller inget XML-dokument");
    return false;
  }
  message.root = Std(xml.name());
  bool known = false;
  for (std::string_view r : kMessageRoots) known = known || r == message.root;
  if (!known) {
    error = "Ok\xE4nt rotelement \"" + FromXml(message.root).text + "\": inget IOF XML 3.0-meddelande";
    return false;
  }
  if (xml.namespaceUri() != QLatin1String(kNamespace.data(), static_cast<qsizetype>(kNamespace.size()))) {
    error = "Fel namnrymd \"" + FromXml(Std(xml.namespaceUri())).text + "\": IOF XML 3.0 anv\xE4nder \"" + Text(kNamespace) + "\"";
    return false;
  }
  std::string version = Std(xml.attributes().value("iofVersion"));
  if (version != "3.0") {
    error = "Fel version \"" + FromXml(version).text + "\": bara IOF XML 3.0 l\xE4ses";
    return false;
  }
  message.creator = Std(xml.attributes().value("creator"));
  while (!xml.atEnd()) {
    QXmlStreamReader::TokenType t = xml.readNext();
    if (t == QXmlStreamReader::StartElement) {
      XmlElement record;
      if (!ReadElement(xml, record, 2, error)) {
        if (error.empty()) error = ParseError(xml);
        return false;
      }
      on_record(record);
    } else if (t == QXmlStreamReader::EndElement) {
      break;  // the root's end
    } else if (t == QXmlStreamReader::EntityReference || t == QXmlStreamReader::DTD) {
      error = "Filen inneh\xE5ller en entitetsreferens, som inte l\xE4ses";
      return false;
    }
  }
  // Whatever follows the root must still be well-formed (comments, blanks); a second root or
  // garbage is an error like any other.
  while (!xml.atEnd()) xml.readNext();
  if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
    error = ParseError(xml);
    return false;
  }
  if (xml.hasError() || !xml.isEndDocument()) {
    error = xml.hasError() ? ParseError(xml) : Text("Filen tar slut mitt i meddelandet");
    return false;
  }
  return true;
}

}  // namespace olbrax::iof
