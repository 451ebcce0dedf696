#include "soa_common/exception_mapper.hxx"

#include "soa_common/xml.hxx"

namespace Velmora::Soa::Common::Exceptions {

void ExceptionMapper::writeSoaException(Velmora::Schemas::Soa::_2006_03::Exceptions::SoaException& e,
                                        std::ostream& out) {
    Xml::XmlStream xml;
    xml.startElement(e.getLocalName());
    xml.attribute("xmlns", e.getNamespace());
    xml.attribute("message", e.getMessage());
    if (auto* se = dynamic_cast<Velmora::Schemas::Soa::_2006_03::Exceptions::ServiceException*>(&e)) {
        for (const auto& error : se->getErrors()) {
            xml.startElement("errorValue");
            xml.attribute("message", error.message);
            xml.attribute("code", std::to_string(error.code));
            xml.attribute("level", std::to_string(error.level));
            xml.endElement();
        }
    }
    xml.endElement();
    out << xml.str();
}

}  // namespace Velmora::Soa::Common::Exceptions
