1<jsp:scriptlet><![CDATA[ if (a < b && c > d) run(); ]]></jsp:scriptlet>
<jsp:declaration><![CDATA[ int n = 0; ]]></jsp:declaration>
<jsp:expression><![CDATA[ n ]]><![CDATA[ unclosed > </jsp:expression>
<jsp:directive.page import="java.util.*"/>
